// The keyboard service against a real X server (Xvfb, openbox with the
// session's configuration), driven with XTest key events through xdotool.
#include "X11TestKit.h"
#include "platform/linux/LinuxServices.h"

#include <QtTest>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include "platform/linux/XlibUndef.h"

using namespace x11kit;

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
        QTest::addColumn<QList<int>>("table");  // special keys; empty list = none
        QTest::addColumn<bool>("install");
        QTest::addColumn<QStringList>("absent"); // fixture log lines that must not appear
        QTest::addColumn<QStringList>("present");

        const QStringList noTab{"press Tab", "release Tab", "press ISO_Left_Tab", "release ISO_Left_Tab"};
        const QStringList noEsc{"press Escape", "release Escape"};
        QTest::newRow("Alt+Tab with Caps Lock")
            << "Caps_Lock alt+Tab Caps_Lock" << QList<int>{} << true << noTab << QStringList{"press Caps_Lock"};
        QTest::newRow("Ctrl+Esc") << "ctrl+Escape" << QList<int>{} << true << noEsc << QStringList{"press Control_L"};
        QTest::newRow("Alt+Esc with Num Lock")
            << "Num_Lock alt+Escape Num_Lock" << QList<int>{} << true << noEsc << QStringList{"press Num_Lock"};
        QTest::newRow("left Windows key") << "Super_L" << QList<int>{} << true
                                          << QStringList{"press Super_L", "release Super_L"} << QStringList{};
        QTest::newRow("right Windows key in table") << "raw:Super_R" << QList<int>{92} << true
                                                    << QStringList{"press Super_R", "release Super_R"} << QStringList{};
        QTest::newRow("browser home in table, down and up")
            << "XF86HomePage" << QList<int>{172} << true
            << QStringList{"press XF86HomePage", "release XF86HomePage"} << QStringList{};
        QTest::newRow("table letter with Shift") << "shift+b b" << QList<int>{66} << true
                                                 << QStringList{"press b", "press B", "release b", "release B"}
                                                 << QStringList{"press Shift_L"};
        QTest::newRow("not installed: left Windows key passes")
            << "Super_L" << QList<int>{} << false << QStringList{} << QStringList{"press Super_L"};
    }

    void swallowing()
    {
        QFETCH(QString, keys);
        QFETCH(QList<int>, table);
        QFETCH(bool, install);
        QFETCH(QStringList, absent);
        QFETCH(QStringList, present);

        if (install)
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
        QVERIFY(xdotool({"key", "b"}));
        QVERIFY(!m_fixture.takeLines().contains("press b"));
        QVERIFY(m_keyboard->installKeyGrabs({}));
        QVERIFY(xdotool({"key", "b", "alt+Tab"}));
        QStringList got = m_fixture.takeLines();
        QVERIFY(got.contains("press b"));
        QVERIFY(!got.contains("press Tab"));

        m_keyboard->removeKeyGrabs();
        QVERIFY(canGrab(keycodeOf("Escape"), ControlMask | LockMask));
        QVERIFY(canGrab(keycodeOf("Super_L"), 0));
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
        QVERIFY(xdotool({"key", "b", "b", "XF86HomePage"}));
        tapKeys({"Super_R"});
        QVERIFY(xdotool({"key", "alt+Tab", "Hiragana"}));
        // Escape as a person presses it: the release comes after the shell saw the press.
        sendKey("Escape", true);
        QVERIFY(waitUntil([&] { return finished > 0; }));
        QTest::qWait(50);
        sendKey("Escape", false);
        // Hiragana has no virtual-key code: not reported.
        QCOMPARE(reported, (QList<int>{66, 66, 172, 92, 164, 9}));
        QCOMPARE(finished, 1);

        // Nothing of it, Escape included, reached the program; afterwards keys do.
        QVERIFY(waitUntil(keyboardFree));
        QVERIFY(xdotool({"key", "x"}));
        const QStringList got = m_fixture.takeLines();
        QVERIFY2(!got.contains("press Escape") && !got.contains("release Escape"), qPrintable(got.join(", ")));
        QVERIFY(!got.contains("press b"));
        QVERIFY(!got.contains("press XF86HomePage"));
        QVERIFY(got.contains("press x"));
        QCOMPARE(finished, 1);
    }

    void typingMonitor_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("grabs");        // first hook installed as well
        QTest::addColumn<bool>("charsOnly");    // drop "<Key:...>" texts before comparing
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("typed text with capitals")
            << QStringList{"type", "Hello World"} << false << true
            << QStringList{"H", "e", "l", "l", "o", "<space>", "W", "o", "r", "l", "d"};
        QTest::newRow("Caps Lock gives capitals")
            << QStringList{"key", "Caps_Lock", "a", "b", "1", "Caps_Lock", "c"} << false << true
            << QStringList{"A", "B", "1", "c"};
        QTest::newRow("swallowed keys are heard too")
            << QStringList{"key", "alt+Tab", "Super_L"} << true << false
            << QStringList{"<Key:Alt_L>", "<tab>", "<Key:Super_L>"};
    }

    void typingMonitor()
    {
        QFETCH(QStringList, args);
        QFETCH(bool, grabs);
        QFETCH(bool, charsOnly);
        QFETCH(QStringList, expected);

        if (grabs)
            QVERIFY(m_keyboard->installKeyGrabs({}));
        QStringList got = typed(args);
        if (charsOnly)
            got.removeIf([](const QString &k) { return k.startsWith(QLatin1String("<Key:")); });
        QCOMPARE(got, expected);
    }

private:
    QStringList typed(const QStringList &xdotoolArgs)
    {
        QStringList got;
        bool done = false;
        if (!m_keyboard->startTypingMonitor([&](const QString &key) {
                if (key == QLatin1String("<Key:Hiragana>"))
                    done = true;
                else if (!done)
                    got.append(key);
            }))
            return {QStringLiteral("monitor did not start")};
        xdotool(xdotoolArgs);
        xdotool({"key", "Hiragana"});
        waitUntil([&] { return done; });
        return got;
    }

    KeyFixture m_fixture;
    std::unique_ptr<platform::Keyboard> m_keyboard;
};

QTEST_MAIN(TestX11Keyboard)
#include "TestX11Keyboard.moc"
