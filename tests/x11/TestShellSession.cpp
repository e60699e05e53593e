// The shell as a child's session runs it: not in "/debug", with a panel, a
// window manager using our configuration and another program to type into.
#include "ShellRun.h"
#include "FixtureProcess.h"
#include "X11TestKit.h"

#include "data/SettingsFile.h"
#include "platform/Services.h"

#include <QFile>
#include <QTest>

#include <SettingsStore.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {

const QString AllDone = QStringLiteral("frmMenu()::All done, system should be up and running!");

// Client windows from the bottom of the stack to the top.
QList<unsigned long> stackingBottomUp()
{
    return x11kit::property(x11kit::rootWindow(), "_NET_CLIENT_LIST_STACKING");
}

platform::WindowId windowTitled(const QString &title)
{
    for (const auto &w : platform::Services::windows().topLevelWindows())
        if (w.title == title)
            return w.id;
    return 0;
}

// What the shell's process stored last.
QString stored(const char *key)
{
    SettingsStore::Refresh(QStringLiteral("Brindle"));
    return SettingsStore::GetSetting("Brindle", "TimeLimit", key);
}

} // namespace

class TestShellSession : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            QSKIP("needs the private X server of run-under-xvfb");
        QVERIFY(x11kit::waitUntil([] { return !x11kit::windowsOfType("_NET_WM_WINDOW_TYPE_DOCK", true).isEmpty(); }));
    }

    void takesTheDesktopAndGivesItBack()
    {
        TestEnv env;
        ShellRun shell(env);
        QVERIFY(shell.install());
        SettingsRecord record;
        SettingsFile::MakeClearState(record);
        record.Password = QStringLiteral("Secret");
        shell.writeSettings(record);
        // Five minutes of play, 100 seconds of them left from the last session.
        SettingsStore::SaveSetting("Brindle", "TimeLimit", "PlayTime", "1");
        SettingsStore::SaveSetting("Brindle", "TimeLimit", "TimeLeft", "100");
        const QString tones = env.path(QStringLiteral("tones.log"));
        shell.process().setProcessEnvironment([&] {
            QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
            e.insert(QStringLiteral("BRINDLE_TONE_LOG"), tones);
            return e;
        }());

        x11kit::KeyFixture fixture;
        QVERIFY(fixture.start());
        QVERIFY(shell.startWithDisplay({}));
        QVERIFY(shell.waitForLog(AllDone));

        // The panel is gone and stays gone.
        QVERIFY(x11kit::waitUntil([] { return x11kit::windowsOfType("_NET_WM_WINDOW_TYPE_DOCK", true).isEmpty(); }));
        const QDateTime anchored = SettingsStore::ParseDate(stored("LastInit"));
        QVERIFY(anchored.isValid());
        QVERIFY(qAbs(anchored.secsTo(QDateTime::currentDateTime()) - 200) <= 5);

        // The window-switching keys never reach a program; ordinary keys do.
        QVERIFY(fixture.focus());
        fixture.clear();
        x11kit::tapKeys({QStringLiteral("Super_L"), QStringLiteral("x")});
        QStringList keys = fixture.takeLines();
        QVERIFY2(!keys.join(QLatin1Char(' ')).contains(QStringLiteral("Super_L")), qPrintable(keys.join(' ')));
        QVERIFY(keys.contains(QStringLiteral("press x")));

        // Typed in another program, "rt" and the password restart the play time.
        QVERIFY(x11kit::xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("30"),
                                 QStringLiteral("rtsecret")}));
        QVERIFY(x11kit::waitUntil([&] { return readLines(tones).size() >= 3; }));
        QCOMPARE(readLines(tones), (QStringList{"2000 50", "1000 50", "2000 50"}));
        const QDateTime reset = SettingsStore::ParseDate(stored("LastInit"));
        QVERIFY(qAbs(reset.secsTo(QDateTime::currentDateTime())) <= 5);

        // A close request from the window manager does not end the shell.
        auto &windows = platform::Services::windows();
        const platform::WindowId menu = windows.findMainWindow(shell.process().processId());
        QVERIFY(menu != 0);
        windows.requestClose(menu);
        QTest::qWait(500);
        QCOMPARE(shell.process().state(), QProcess::Running);

        // Logging out ends it in order: everything is given back.
        shell.terminate();
        QVERIFY(shell.waitForExit());
        QCOMPARE(shell.exitCode(), 0);
        QVERIFY(x11kit::waitUntil([] { return !x11kit::windowsOfType("_NET_WM_WINDOW_TYPE_DOCK", true).isEmpty(); }));
        QVERIFY(fixture.focus());
        fixture.clear();
        x11kit::tapKeys({QStringLiteral("Super_L")});
        keys = fixture.takeLines();
        QVERIFY2(keys.join(QLatin1Char(' ')).contains(QStringLiteral("Super_L")), qPrintable(keys.join(' ')));
        QVERIFY(stored("TimeLeft").toInt() > 250);
    }

    // A dialog of the shell has its frame in the session, and one that is
    // minimised anyway (by another program) comes straight back.
    void ownWindowsCannotBeMinimised()
    {
        TestEnv env;
        ShellRun shell(env);
        QVERIFY(shell.install());
        SettingsRecord record;
        SettingsFile::MakeClearState(record);
        shell.writeSettings(record);
        SettingsStore::SaveSetting("Brindle", "TimeLimit", "PlayTime", "1");
        SettingsStore::SaveSetting("Brindle", "TimeLimit", "TimeLeft", "0");
        QVERIFY(shell.startWithDisplay({}));
        platform::WindowId dialog = 0;
        QVERIFY(x11kit::waitUntil([&] { return (dialog = windowTitled(QStringLiteral("Time Has Expired!"))) != 0; }));
        QVERIFY(x11kit::waitUntil([&] { return !x11kit::property(dialog, "_NET_FRAME_EXTENTS").isEmpty(); }));
        // Left, right, top, bottom: a title bar over the dialog for its caption.
        const QList<unsigned long> frame = x11kit::property(dialog, "_NET_FRAME_EXTENTS");
        QVERIFY(frame.value(2) >= frame.value(0) + 12);

        QVERIFY(x11kit::xdotool({QStringLiteral("windowminimize"), QString::number(dialog)}));
        QTest::qWait(300);
        QVERIFY(x11kit::waitUntil([dialog] { return x11kit::property(dialog, "WM_STATE").value(0) == 1; })); // NormalState
        QVERIFY(x11kit::isViewable(dialog));
        shell.terminate();
        QVERIFY(shell.waitForExit());
    }


    // A corrupt settings.dat ends start-up after the panel was taken; it comes back.
    void fatalStartGivesThePanelBack()
    {
        TestEnv env;
        ShellRun shell(env);
        QVERIFY(shell.install());
        shell.writeFile(QStringLiteral("settings.dat"), QByteArray("\x05\x00", 2));
        shell.answerDialogs({QStringLiteral("OK")});
        QVERIFY(shell.startWithDisplay({}));
        QVERIFY(shell.waitForExit());
        QCOMPARE(shell.exitCode(), 1);
        QVERIFY(shell.logLines().contains(QStringLiteral("Main()::Attempting to Remove Taskbar")));
        QVERIFY(x11kit::waitUntil([] { return !x11kit::windowsOfType("_NET_WM_WINDOW_TYPE_DOCK", true).isEmpty(); }));
    }

    // A started program comes in front of the menu, also one that takes no
    // focus, like a clock.
    void startedProgramsComeInFront()
    {
        const QString kind = QStringLiteral("no-focus");
        TestEnv env;
        ShellRun shell(env);
        QVERIFY(shell.install());
        SettingsRecord record;
        SettingsFile::MakeClearState(record);
        BUTTON button;
        button.Caption = QStringLiteral("Go");
        button.Width = 200;
        button.Height = 100;
        button.Left = 100;
        button.Top = 100;
        button.Enabled = VbTrue;
        button.InUse = 1;
        button.Link = QStringLiteral(BRINDLE_TESTAPP);
        button.Parameters = QStringLiteral("--title Front --kind ") + kind;
        button.ExtraCount = 5;
        button.ExtraStrings.redim(5);
        record.Buttons.at(0) = button;
        record.ButtonsMax = 0;
        shell.writeSettings(record);
        QVERIFY(shell.startWithDisplay({}));
        QVERIFY(shell.waitForLog(AllDone));
        auto &windows = platform::Services::windows();
        // The loading screen goes 50 ms after start-up; then the menu is the shell's only window.
        QTest::qWait(300);
        const platform::WindowId menu = windows.findMainWindow(shell.process().processId());
        QVERIFY(menu != 0);

        QVERIFY(x11kit::xdotool({QStringLiteral("mousemove"), QStringLiteral("200"), QStringLiteral("150"),
                                 QStringLiteral("click"), QStringLiteral("1")}));
        platform::WindowId started = 0;
        QVERIFY(x11kit::waitUntil([&] { return (started = windowTitled(QStringLiteral("Front"))) != 0; }));
        // The supervision tick brings it forward; the menu stays under it.
        QVERIFY(x11kit::waitUntil([&] {
            const QList<unsigned long> stack = stackingBottomUp();
            return stack.indexOf(started) > stack.indexOf(menu) && stack.indexOf(menu) >= 0;
        }));
        windows.requestClose(started);
        QVERIFY(x11kit::waitUntil([&] { return !stackingBottomUp().contains(started); }));
        shell.terminate();
        QVERIFY(shell.waitForExit());
    }

    // Pause: a screen over everything that takes keyboard and pointer until a
    // click or a key; input that another program holds ends it at once.
    void pauseCoversAFullScreenProgram()
    {
        TestEnv env;
        ShellRun shell(env);
        QVERIFY(shell.install());
        SettingsStore::SaveSetting("Brindle", "TimeLimit", "PlayTime", "2");
        SettingsStore::SaveSetting("Brindle", "TimeLimit", "TimeLeft", "500");
        QVERIFY(shell.startWithDisplay({}));
        QVERIFY(shell.waitForLog(AllDone));
        FixtureProcess game({"--title", "Game", "--kind", "fullscreen"});
        QVERIFY(x11kit::waitUntil([&, shown = game.waitShown()] { return stackingBottomUp().last() == shown; }));
        ::Display *dpy = x11kit::display();
        for (const QString resume : {"click 1", "key space", "held"}) {
            if (resume == "held")
                XGrabPointer(dpy, DefaultRootWindow(dpy), False, 0, GrabModeAsync, GrabModeAsync, 0, 0, 0);
            x11kit::tapKeys({QStringLiteral("Pause")});
            platform::WindowId pause = 0;
            QVERIFY(x11kit::waitUntil([&] {
                pause = windowTitled(QStringLiteral("Paused"));
                return pause && stackingBottomUp().last() == pause && x11kit::keyboardFree() == (resume == "held");
            }));
            XWindowAttributes attrs;
            QVERIFY(XGetWindowAttributes(dpy, pause, &attrs) && attrs.width == 1280 && attrs.height == 1024);
            QVERIFY(resume == "held" || x11kit::xdotool(resume.split(QLatin1Char(' '))));
            QVERIFY(x11kit::waitUntil([&] { return x11kit::keyboardFree() && !x11kit::isViewable(pause); }));
        }
        XUngrabPointer(dpy, 0);
        QVERIFY(shell.logLines().contains("frmPause()::Keyboard or pointer held by another program, pause ended."));
        shell.terminate();
        QVERIFY(shell.waitForExit());
    }
};

QTEST_MAIN(TestShellSession)
#include "TestShellSession.moc"
