// The media watch: the difference between two mount tables, and the real
// /proc/self/mountinfo when this process may mount a tmpfs.
#include "platform/linux/MountWatch.h"

#include <QtTest>

using platform::Media;
using platform::linuxsvc::MountWatch;
using Mounts = QList<MountWatch::Mount>;
using Changes = QList<MountWatch::Change>;

Q_DECLARE_METATYPE(MountWatch::Mount)
Q_DECLARE_METATYPE(MountWatch::Change)

class TestMountWatch : public QObject
{
    Q_OBJECT

private slots:
    void diff_data()
    {
        QTest::addColumn<Mounts>("before");
        QTest::addColumn<Mounts>("after");
        QTest::addColumn<Changes>("changes");

        const MountWatch::Mount root{"22 8:1 /", "/"};
        const MountWatch::Mount usb{"45 8:17 /media/usb", "/media/usb"};
        const MountWatch::Mount cd{"46 11:0 /media/cd", "/media/cd"};
        const MountWatch::Mount usbAgain{"47 8:17 /media/usb", "/media/usb"};

        QTest::newRow("one out, one in")
            << Mounts{root, usb} << Mounts{root, cd}
            << Changes{{Media::Removed, "/media/usb"}, {Media::Inserted, "/media/cd"}};
        QTest::newRow("remounted at the same place between two looks")
            << Mounts{root, usb} << Mounts{root, usbAgain}
            << Changes{{Media::Removed, "/media/usb"}, {Media::Inserted, "/media/usb"}};
    }

    void diff()
    {
        QFETCH(Mounts, before);
        QFETCH(Mounts, after);
        QFETCH(Changes, changes);
        QCOMPARE(MountWatch::diff(before, after), changes);
    }

    // Needs the right to mount (root in the test machine); skipped elsewhere.
    void realMounts()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        MountWatch watch;
        QList<Media::Event> events;
        QVERIFY(watch.watch([&](Media::Event e) { events.append(e); }));

        QProcess mount;
        mount.start(QStringLiteral("mount"), {"-t", "tmpfs", "brindle-test", dir.path()});
        if (!mount.waitForFinished(10000) || mount.exitCode() != 0)
            QSKIP("this process may not mount a tmpfs");
        auto unmount = qScopeGuard([&] { QProcess::execute(QStringLiteral("umount"), {dir.path()}); });

        QTRY_COMPARE_WITH_TIMEOUT(events, QList<Media::Event>{Media::Inserted}, 5000);
        QCOMPARE(QProcess::execute(QStringLiteral("umount"), {dir.path()}), 0);
        unmount.dismiss();
        QTRY_COMPARE_WITH_TIMEOUT(events, (QList<Media::Event>{Media::Inserted, Media::Removed}), 5000);

        watch.unwatch();
        QCOMPARE(QProcess::execute(QStringLiteral("mount"), {"-t", "tmpfs", "brindle-test", dir.path()}), 0);
        QTest::qWait(200);
        QProcess::execute(QStringLiteral("umount"), {dir.path()});
        QCOMPARE(events.size(), 2); // nothing after unwatch
    }
};

QTEST_GUILESS_MAIN(TestMountWatch)
#include "TestMountWatch.moc"
