// The windows a child sees while playing: the countdown notice over a focused
// program, and the lock screen holding the keyboard.
#include "X11TestKit.h"

#include "playtime/frmCountdown.h"
#include "playtime/frmLock.h"

#include <QApplication>
#include <QTest>

class TestX11PlayWindows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(x11kit::display(), "needs an X display: run under tests/x11/run-under-xvfb"); }

    void noticeStaysOnTopWithoutTakingTheKeys()
    {
        x11kit::KeyFixture game;
        QVERIFY(game.start());
        frmCountdown notice;
        notice.ShowNotice(300);
        QVERIFY(x11kit::waitUntil([&] { return x11kit::viewableTopLevels().endsWith(notice.winId()); }));
        // The game still gets what is typed.
        x11kit::tapKeys({QStringLiteral("b")});
        QVERIFY(game.takeLines().contains(QStringLiteral("press b")));
    }

    void lockHoldsTheKeyboardUntilItGoes()
    {
        x11kit::KeyFixture game;
        QVERIFY(game.start());
        frmLock lock;
        lock.Cover();
        QVERIFY(x11kit::waitUntil([] { return !x11kit::keyboardFree(); }));
        QVERIFY(x11kit::waitUntil([&] { return x11kit::viewableTopLevels().endsWith(lock.winId()); }));
        // Escape and letters reach neither the window manager nor the game.
        x11kit::tapKeys({QStringLiteral("Escape"), QStringLiteral("c")});
        QTest::qWait(300);
        QVERIFY(game.lines().isEmpty());
        QVERIFY(lock.isVisible());
        lock.hide();
        QVERIFY(x11kit::waitUntil([] { return x11kit::keyboardFree(); }));
    }
};

QTEST_MAIN(TestX11PlayWindows)
#include "TestX11PlayWindows.moc"
