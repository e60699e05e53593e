// The keyboard service against a real X server (Xvfb, openbox with the
// session's configuration), driven with XTest key events through xdotool.
#include "X11TestKit.h"
#include "platform/linux/LinuxServices.h"

#include <QtTest>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include "platform/linux/XlibUndef.h"

using namespace x11kit;

namespace {

int keycodeOf(const char *keysymName)
{
    return XKeysymToKeycode(display(), XStringToKeysym(keysymName));
}

void sendKey(const char *keysymName, bool press)
{
    XTestFakeKeyEvent(display(), keycodeOf(keysymName), press, 0);
    XSync(display(), False);
}

} // namespace

class TestX11Keyboard : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(display(), "no X display");
        QVERIFY(m_fixture.start());
    }

    void init()
    {
        m_keyboard = platform::linuxsvc::createKeyboard();
        QVERIFY(m_fixture.focus());
        m_fixture.takeLines();
    }

    void cleanup() { m_keyboard.reset(); }

    void swallowing_data()
    {
        QTest::addColumn<QList<int>>("table");   // special keys
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QStringList>("absent"); // fixture log lines that must not appear
        QTest::addColumn<QStringList>("present");

        // Alt+Tab, Ctrl+Esc, Alt+Esc and the left Windows key, also with Caps Lock or Num Lock on.
        QTest::newRow("system keys") << QList<int>{}
            << QStringList{"Caps_Lock", "Alt_L+Tab", "Caps_Lock", "Control_L+Escape", "Num_Lock", "Alt_L+Escape",
                           "Num_Lock", "Super_L"}
            << QStringList{"press Tab", "release Tab", "press Escape", "release Escape", "press Super_L", "release Super_L"}
            << QStringList{"press Caps_Lock", "press Control_L", "press Num_Lock"};
        // Down and up, also with Shift.
        QTest::newRow("table keys") << QList<int>{92, 172, 66}
            << QStringList{"Super_R", "XF86HomePage", "Shift_L+b", "b"}
            << QStringList{"press Super_R", "release Super_R", "press XF86HomePage", "release XF86HomePage", "press b",
                           "press B", "release b", "release B"}
            << QStringList{"press Shift_L"};
    }

    void swallowing()
    {
        QFETCH(QList<int>, table);
        QFETCH(QStringList, keys);
        QFETCH(QStringList, absent);
        QFETCH(QStringList, present);

        QVERIFY(m_keyboard->installKeyGrabs(table));
        QVERIFY(m_keyboard->refusedGrabs().isEmpty());
        tapKeys(keys);
        const QStringList got = m_fixture.takeLines();
        for (const QString &line : absent)
            QVERIFY2(!got.contains(line), qPrintable(line + " reached the program: " + got.join(", ")));
        for (const QString &line : present)
            QVERIFY2(got.contains(line), qPrintable(line + " missing: " + got.join(", ")));
    }

    // A key another program holds is reported and the rest grabbed; a new key
    // set replaces the old one at once; removing gives every key back.
    void refusedReplacedAndRemoved()
    {
        ::Display *dpy = display();
        const int home = keycodeOf("XF86HomePage");
        XGrabKey(dpy, home, AnyModifier, DefaultRootWindow(dpy), True, GrabModeAsync, GrabModeAsync);
        XSync(dpy, False);
        QVERIFY(m_keyboard->installKeyGrabs({172, 66}));
        XUngrabKey(dpy, home, AnyModifier, DefaultRootWindow(dpy));
        XSync(dpy, False);
        QCOMPARE(m_keyboard->refusedGrabs(), QStringList{"key 172 (XF86HomePage)"});
        tapKeys({"Alt_L+Tab", "b"});
        QStringList got = m_fixture.takeLines();
        QVERIFY(!got.contains("press Tab"));
        QVERIFY(!got.contains("press b"));

        QVERIFY(m_keyboard->installKeyGrabs({}));
        tapKeys({"b", "Alt_L+Tab"});
        got = m_fixture.takeLines();
        QVERIFY(got.contains("press b"));
        QVERIFY(!got.contains("press Tab"));

        m_keyboard->removeKeyGrabs();
        tapKeys({"Caps_Lock", "Control_L+Escape", "Caps_Lock", "Super_L", "Alt_L+Tab"});
        got = m_fixture.takeLines();
        for (const QString line : {"press Escape", "press Super_L", "press Tab"})
            QVERIFY2(got.contains(line), qPrintable(line + " missing: " + got.join(", ")));
    }

    void captureReportsKeysUntilEscape()
    {
        QList<int> reported;
        int finished = 0;
        QVERIFY(m_keyboard->startCapture([&](int vk) { reported.append(vk); }, [&] { ++finished; }));
        tapKeys({"b", "Super_R", "Alt_L+Tab", "Hiragana"});
        // Escape as a person presses it: the release comes after the shell saw the press.
        sendKey("Escape", true);
        QVERIFY(waitUntil([&] { return finished > 0; }));
        QTest::qWait(50);
        sendKey("Escape", false);
        // Hiragana has no virtual-key code: not reported.
        QCOMPARE(reported, (QList<int>{66, 92, 164, 9}));

        // Nothing of it, Escape included, reached the program; afterwards keys do.
        QVERIFY(waitUntil(keyboardFree));
        tapKeys({"x"});
        QCOMPARE(m_fixture.takeLines(), (QStringList{"press x", "release x"}));
        QCOMPARE(finished, 1);
    }

    void typingMonitor_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("grabs"); // first hook installed as well
        QTest::addColumn<QStringList>("expected"); // "<Key:...>" texts left out

        QTest::newRow("typed text with capitals")
            << QStringList{"type", "Hello World"} << false
            << QStringList{"H", "e", "l", "l", "o", "<space>", "W", "o", "r", "l", "d"};
        QTest::newRow("Caps Lock gives capitals")
            << QStringList{"key", "Caps_Lock", "a", "b", "1", "Caps_Lock", "c"} << false
            << QStringList{"A", "B", "1", "c"};
        QTest::newRow("swallowed keys are heard too") << QStringList{"key", "alt+Tab"} << true << QStringList{"<tab>"};
    }

    void typingMonitor()
    {
        QFETCH(QStringList, args);
        QFETCH(bool, grabs);
        QFETCH(QStringList, expected);

        if (grabs)
            QVERIFY(m_keyboard->installKeyGrabs({}));
        QStringList got;
        bool done = false;
        QVERIFY(m_keyboard->startTypingMonitor([&](const QString &key) {
            if (key == QLatin1String("<Key:Hiragana>"))
                done = true;
            else if (!done && !key.startsWith(QLatin1String("<Key:")))
                got.append(key);
        }));
        QVERIFY(xdotool(args));
        QVERIFY(xdotool({"key", "Hiragana"}));
        QVERIFY(waitUntil([&] { return done; }));
        QCOMPARE(got, expected);
    }

private:
    KeyFixture m_fixture;
    std::unique_ptr<platform::Keyboard> m_keyboard;
};

QTEST_MAIN(TestX11Keyboard)
#include "TestX11Keyboard.moc"
