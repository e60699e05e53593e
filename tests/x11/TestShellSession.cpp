// The shell as a child's session runs it: not in "/debug", with a panel, a
// window manager using our configuration and a full-screen program. The rules
// behind it are tested offscreen; here the real X services carry them out.
#include "ShellRun.h"
#include "FixtureProcess.h"
#include "X11TestKit.h"

#include "platform/Services.h"

#include <QTest>

#include <SettingsStore.h>

#include <X11/Xlib.h>

namespace {

bool panelShown()
{
    return !x11kit::windowsOfType("_NET_WM_WINDOW_TYPE_DOCK").isEmpty();
}

const QString AllDone = QStringLiteral("frmMenu()::All done, system should be up and running!");

// Client windows from the bottom of the stack to the top.
QList<unsigned long> stackingBottomUp()
{
    return x11kit::property(DefaultRootWindow(x11kit::display()), "_NET_CLIENT_LIST_STACKING");
}

platform::WindowId windowTitled(const QString &title)
{
    for (const auto &w : platform::Services::windows().topLevelWindows())
        if (w.title == title)
            return w.id;
    return 0;
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
        QVERIFY(x11kit::waitUntil(panelShown));
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
        QVERIFY(shell.logLines().contains(QStringLiteral("Main()::Attempting to Remove Taskbar")));
        QVERIFY(x11kit::waitUntil(panelShown));
    }

    // The panel goes while the shell runs. Pause: a screen over everything that
    // takes keyboard and pointer until a click or a key; input that another
    // program holds ends it at once. Logging out gives the panel back.
    void pauseCoversAFullScreenProgram()
    {
        TestEnv env;
        ShellRun shell(env);
        QVERIFY(shell.install());
        SettingsStore::SaveSetting("Brindle", "TimeLimit", "PlayTime", "2");
        SettingsStore::SaveSetting("Brindle", "TimeLimit", "TimeLeft", "500");
        QVERIFY(shell.startWithDisplay({}));
        QVERIFY(shell.waitForLog(AllDone));
        QVERIFY(x11kit::waitUntil([] { return !panelShown(); }));
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
        QVERIFY(x11kit::waitUntil(panelShown));
    }
};

QTEST_MAIN(TestShellSession)
#include "TestShellSession.moc"
