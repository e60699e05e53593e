// The keyboard service against a real X server (Xvfb, openbox with the
// session's configuration), driven with XTest key events through xdotool.
#include "X11TestKit.h"
#include "platform/linux/LinuxServices.h"
#include "platform/linux/X11Connection.h"

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

// True when this connection may grab the key combination (nobody else holds it).
bool canGrab(const char *keysymName, unsigned modifiers)
{
    ::Display *dpy = display();
    const int code = keycodeOf(keysymName);
    if (!platform::x11::withoutErrors(dpy, [&] {
            XGrabKey(dpy, code, modifiers, DefaultRootWindow(dpy), True, GrabModeAsync, GrabModeAsync);
        }))
        return false;
    XUngrabKey(dpy, code, modifiers, DefaultRootWindow(dpy));
    return true;
}

// One half of a key stroke through XTest.
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
        // xdotool key arguments, or "raw:" and keys tapped one by one through XTest
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QList<int>>("table");   // special keys
        QTest::addColumn<QStringList>("absent"); // fixture log lines that must not appear
        QTest::addColumn<QStringList>("present");

        const QStringList noTab{"press Tab", "release Tab", "press ISO_Left_Tab", "release ISO_Left_Tab"};
        const QStringList noEsc{"press Escape", "release Escape"};
        QTest::newRow("Alt+Tab with Caps Lock")
            << "Caps_Lock alt+Tab Caps_Lock" << QList<int>{} << noTab << QStringList{"press Caps_Lock"};
        QTest::newRow("Ctrl+Esc") << "ctrl+Escape" << QList<int>{} << noEsc << QStringList{"press Control_L"};
        QTest::newRow("Alt+Esc with Num Lock")
            << "Num_Lock alt+Escape Num_Lock" << QList<int>{} << noEsc << QStringList{"press Num_Lock"};
        QTest::newRow("left Windows key")
            << "Super_L" << QList<int>{} << QStringList{"press Super_L", "release Super_L"} << QStringList{};
        QTest::newRow("right Windows key in table")
            << "raw:Super_R" << QList<int>{92} << QStringList{"press Super_R", "release Super_R"} << QStringList{};
        QTest::newRow("browser home in table, down and up")
            << "XF86HomePage" << QList<int>{172} << QStringList{"press XF86HomePage", "release XF86HomePage"}
            << QStringList{};
        QTest::newRow("table letter with Shift") << "shift+b b" << QList<int>{66}
                                                 << QStringList{"press b", "press B", "release b", "release B"}
                                                 << QStringList{"press Shift_L"};
    }

    void swallowing()
    {
        QFETCH(QString, keys);
        QFETCH(QList<int>, table);
        QFETCH(QStringList, absent);
        QFETCH(QStringList, present);

        QVERIFY(m_keyboard->installKeyGrabs(table));
        QVERIFY(m_keyboard->refusedGrabs().isEmpty());
        if (keys.startsWith(QLatin1String("raw:")))
            tapKeys(keys.mid(4).split(' '));
        else
            QVERIFY(xdotool(QStringList{"key"} + keys.split(' ')));
        const QStringList got = m_fixture.takeLines();
        for (const QString &line : absent)
            QVERIFY2(!got.contains(line), qPrintable(line + " reached the program: " + got.join(", ")));
        for (const QString &line : present)
            QVERIFY2(got.contains(line), qPrintable(line + " missing: " + got.join(", ")));
    }

    // A new key set replaces the old one at once; removing gives every key back.
    void replacingAndRemovingTheKeySet()
    {
        QVERIFY(m_keyboard->installKeyGrabs({66}));
        QVERIFY(m_keyboard->installKeyGrabs({}));
        QVERIFY(xdotool({"key", "b", "alt+Tab"}));
        const QStringList got = m_fixture.takeLines();
        QVERIFY(got.contains("press b"));
        QVERIFY(!got.contains("press Tab"));

        m_keyboard->removeKeyGrabs();
        QVERIFY(canGrab("Escape", ControlMask | LockMask));
        QVERIFY(canGrab("Super_L", 0));
        QVERIFY(xdotool({"key", "alt+Tab"}));
        QVERIFY(m_fixture.takeLines().contains("press Tab"));
    }

    void refusedGrabIsReportedAndSkipped()
    {
        ::Display *dpy = display();
        const int home = keycodeOf("XF86HomePage");
        XGrabKey(dpy, home, AnyModifier, DefaultRootWindow(dpy), True, GrabModeAsync, GrabModeAsync);
        XSync(dpy, False);

        QVERIFY(m_keyboard->installKeyGrabs({172, 66}));
        QCOMPARE(m_keyboard->refusedGrabs(), QStringList{"key 172 (XF86HomePage)"});
        // The rest is in place.
        QVERIFY(xdotool({"key", "alt+Tab", "b"}));
        const QStringList got = m_fixture.takeLines();
        QVERIFY(!got.contains("press Tab"));
        QVERIFY(!got.contains("press b"));

        XUngrabKey(dpy, home, AnyModifier, DefaultRootWindow(dpy));
        XSync(dpy, False);
    }

    void captureReportsKeysUntilEscape()
    {
        QList<int> reported;
        int finished = 0;
        QVERIFY(m_keyboard->startCapture([&](int vk) { reported.append(vk); }, [&] { ++finished; }));
        tapKeys({"b", "Super_R"});
        QVERIFY(xdotool({"key", "alt+Tab", "Hiragana"}));
        // Escape as a person presses it: the release comes after the shell saw the press.
        sendKey("Escape", true);
        QVERIFY(waitUntil([&] { return finished > 0; }));
        QTest::qWait(50);
        sendKey("Escape", false);
        // Hiragana has no virtual-key code: not reported.
        QCOMPARE(reported, (QList<int>{66, 92, 164, 9}));

        // Nothing of it, Escape included, reached the program; afterwards keys do.
        QVERIFY(waitUntil(keyboardFree));
        QVERIFY(xdotool({"key", "x"}));
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
