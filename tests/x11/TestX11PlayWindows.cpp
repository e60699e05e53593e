// The windows a child sees while playing: the countdown notice over a focused
// program, and the lock screen holding the keyboard.
#include "X11TestKit.h"

#include "playtime/frmCountdown.h"
#include "playtime/frmLock.h"

#include <QApplication>
#include <QScreen>
#include <QTest>

#include <X11/Xlib.h>
#include "platform/linux/XlibUndef.h"

namespace {

// The highest viewable child of the root: what covers everything else.
unsigned long topWindow()
{
    ::Display *dpy = x11kit::display();
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    unsigned long top = 0;
    if (XQueryTree(dpy, DefaultRootWindow(dpy), &root, &parent, &children, &count)) {
        for (unsigned int i = 0; i < count; ++i) {
            if (x11kit::isViewable(children[i]))
                top = children[i];
        }
        XFree(children);
    }
    return top;
}

// With BRINDLE_SCREENSHOTS set, the whole screen is saved there for people to look at.
void keepScreen(const QString &name)
{
    QTest::qWait(300); // painted
    const QString folder = qEnvironmentVariable("BRINDLE_SCREENSHOTS");
    if (!folder.isEmpty())
        QGuiApplication::primaryScreen()->grabWindow(0).save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
}

} // namespace

class TestX11PlayWindows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(x11kit::display(), "needs an X display: run under tests/x11/run-under-xvfb"); }

    void noticeStaysOnTopWithoutTakingTheKeys()
    {
        x11kit::KeyFixture game;
        QVERIFY(game.start());
        QVERIFY(game.focus());
        frmCountdown notice;
        notice.ShowNotice(300);
        QVERIFY(x11kit::waitUntil([&] { return x11kit::isViewable(notice.winId()); }));
        QVERIFY(x11kit::waitUntil([&] { return topWindow() == notice.winId(); }));
        keepScreen(QStringLiteral("countdown"));
        // The game still gets what is typed.
        x11kit::tapKeys({QStringLiteral("b")});
        QVERIFY(game.takeLines().join(QLatin1Char(' ')).contains(QLatin1Char('b')));
    }

    void lockHoldsTheKeyboardUntilItGoes()
    {
        x11kit::KeyFixture game;
        QVERIFY(game.start());
        QVERIFY(game.focus());
        game.clear();
        frmLock lock;
        lock.Cover();
        QVERIFY(x11kit::waitUntil([] { return !x11kit::keyboardFree(); }));
        QVERIFY(x11kit::waitUntil([&] { return topWindow() == lock.winId(); }));
        // Alt+Tab, Escape and letters reach neither the window manager nor the game.
        x11kit::tapKeys({QStringLiteral("Escape"), QStringLiteral("c")});
        QTest::qWait(300);
        QVERIFY(game.lines().isEmpty());
        QVERIFY(lock.isVisible());
        keepScreen(QStringLiteral("lock"));
        lock.hide();
        QVERIFY(x11kit::waitUntil([] { return x11kit::keyboardFree(); }));
    }
};

QTEST_MAIN(TestX11PlayWindows)
#include "TestX11PlayWindows.moc"
