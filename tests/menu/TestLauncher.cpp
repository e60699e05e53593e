// What a button's activation does, over fake button controls: the password,
// the built-in keywords, the path variables, the start and its rules.
#include "LaunchWorld.h"

#include "base/modUtil.h"
#include "menu/Launcher.h"
#include "programs/ProcessWatch.h"

#include <QtTest>

using modGlobals::SS;
namespace Msg = platform::Msg;

namespace {

const QString NotFound = QStringLiteral("The associated file cannot be found!");
const QString AskClose = QStringLiteral("You already have another process running!\r\n\r\n"
                                        "Do you want to close this application ?");

} // namespace

class TestLauncher : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_world = std::make_unique<LaunchWorld>();
        m_game = m_world->makeProgram(QStringLiteral("games/kids/game"));
        m_world->makeProgram(QStringLiteral("games/other"));
        QVERIFY(m_world->openStats());
        Clock::setNow(QDateTime(QDate(2024, 3, 5), QTime(10, 0, 0, 600)));
    }

    void cleanup() { m_world.reset(); }

    void startsWatchesAndCounts()
    {
        BUTTON &b = m_world->addButton(QStringLiteral("Game"), QStringLiteral(".\\games\\kids\\game"));
        b.Parameters = QStringLiteral("--level %apppath%levels/1");
        execute(0);

        QCOMPARE(m_world->processes->started.size(), 1);
        const auto &run = m_world->processes->started.first();
        QCOMPARE(run.program, m_game);
        QCOMPARE(run.arguments, QStringLiteral("--level ") + m_world->env.programFolder() + QStringLiteral("levels/1"));
        QCOMPARE(run.workDir, m_world->env.path(QStringLiteral("games/kids/")));
        QCOMPARE(m_world->buttons.ProcessId(0), run.pid);
        QCOMPARE(m_world->watch->ButtonWatch[0].Processes.size(), 1);
        QCOMPARE(SS.Buttons.at(0).StartTime, 36001); // 10:00:00.6 to the nearest second
        QCOMPARE(m_world->statsRows(),
                 QStringList{QStringLiteral(".\\games\\kids\\game \"--level %apppath%levels/1\"|1|0|Game")});
    }

    void password_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<int>("invalid");
        QTest::addColumn<bool>("started");

        QTest::newRow("right, other case") << "Secret" << QStringList{"sECRET"} << 0 << true;
        QTest::newRow("wrong, then right") << "Secret" << QStringList{"nope", "secret"} << 1 << true;
        QTest::newRow("cancelled") << "Secret" << QStringList{"cancel"} << 0 << false;
        QTest::newRow("stored blanks count") << " pw " << QStringList{"pw"} << 1 << false;
    }

    void password()
    {
        QFETCH(QString, password);
        QFETCH(QStringList, typed);
        QFETCH(int, invalid);
        QFETCH(bool, started);
        m_world->addButton(QStringLiteral("Locked"), QStringLiteral(".\\games\\other")).Password = password;
        m_world->build();
        m_world->buttons.SetCaption(0, QStringLiteral("Shown caption"));
        m_world->prompts.script(typed);
        // Each wrong answer is followed by the "Invalid password!" box.
        for (int i = 0; i < invalid; ++i)
            m_world->dialogs->answer(QStringLiteral("OK"));
        m_world->launcher->ExecuteFile(0, false, false);

        QCOMPARE(m_world->prompts.asked, QStringList(invalid + 1, QStringLiteral("password:Enter Password for [Shown caption]")));
        QCOMPARE(messages(), QStringList(invalid, QStringLiteral("Invalid password!")));
        QCOMPARE(m_world->processes->started.size(), started ? 1 : 0);
    }

    // A keyword is never looked for as a file, started or counted; nor is a
    // link that names nothing there.
    void startsNothing_data()
    {
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("effect");

        QTest::newRow("lock, any case") << "LOCK_Workstation" << "power lock";
        QTest::newRow("shut down") << "shutdown_force" << "power poweroff";
        QTest::newRow("task list") << "applications" << "ask tasks";
        QTest::newRow("play time, no password") << "ResetTimer" << "reset";
        QTest::newRow("refresh ends in run mode too") << "refresh" << "refresh";
        QTest::newRow("missing program") << ".\\games\\gone" << "told";
        QTest::newRow("empty link") << "" << "";
    }

    void startsNothing()
    {
        QFETCH(QString, link);
        QFETCH(QString, effect);
        m_world->addButton(QStringLiteral("K"), link);
        int resets = 0;
        connect(m_world->launcher, &Launcher::resetTimeRequested, [&resets] { ++resets; });
        execute(0);

        QCOMPARE(m_world->power->calls.join(QString()), effect.startsWith(QLatin1String("power ")) ? effect.mid(6) : QString());
        QCOMPARE(m_world->prompts.asked.join(QString()), effect.startsWith(QLatin1String("ask ")) ? effect.mid(4) : QString());
        QCOMPARE(resets, effect == QLatin1String("reset") ? 1 : 0);
        QCOMPARE(m_world->buttons.pictureRefreshes, effect == QLatin1String("refresh") ? 1 : 0);
        const bool told = effect == QLatin1String("told");
        QCOMPARE(messages(), told ? QStringList{NotFound} : QStringList());
        if (told)
            QCOMPARE(m_world->dialogs->shown().first().style, Msg::Exclamation | Msg::SystemModal);
        QVERIFY(m_world->processes->started.isEmpty());
        QVERIFY(m_world->statsRows().isEmpty());
    }

    // The child's answer to the shutdown dialog ends the session that way, or not at all.
    void shutdownDialog_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("power");
        QTest::newRow("cancel") << "cancel" << "";
        QTest::newRow("power off") << "poweroff" << "poweroff";
        QTest::newRow("restart") << "restart" << "reboot";
        QTest::newRow("log off") << "logoff" << "logoff";
    }
    void shutdownDialog()
    {
        QFETCH(QString, answer);
        QFETCH(QString, power);
        m_world->addButton(QStringLiteral("Off"), QStringLiteral("Shutdown_Dialog"));
        m_world->prompts.script({answer});
        execute(0);
        QCOMPARE(m_world->prompts.asked, QStringList{QStringLiteral("shutdown")});
        QCOMPARE(m_world->power->calls.join(QString()), power);
        QVERIFY(m_world->processes->started.isEmpty());
    }

    void oneProcess_data()
    {
        QTest::addColumn<bool>("askToClose");
        QTest::addColumn<int>("running");      // button whose program runs
        QTest::addColumn<QString>("answer");   // to the close question
        QTest::addColumn<bool>("closes");      // the running program obeys a close request
        QTest::addColumn<bool>("started");
        QTest::addColumn<QString>("sound");

        QTest::newRow("no asking: the running one comes forward") << false << 0 << "" << true << false << "forward.wav";
        QTest::newRow("own program comes forward") << true << 1 << "" << true << false << "";
        QTest::newRow("asked, cancelled") << true << 0 << "Cancel" << true << false << "ask.wav";
        QTest::newRow("asked, closed, started") << true << 0 << "OK" << true << true << "ask.wav";
        QTest::newRow("asked, refuses to close") << true << 0 << "OK" << false << false << "ask.wav";
    }

    void oneProcess()
    {
        QFETCH(bool, askToClose);
        QFETCH(int, running);
        QFETCH(QString, answer);
        QFETCH(bool, closes);
        QFETCH(bool, started);
        QFETCH(QString, sound);
        SS.OneProcessOnly = VbTrue;
        SS.AskToCloseRunning = askToClose ? VbTrue : VbFalse;
        SS.CloseFirstSound = QStringLiteral(".\\forward.wav");
        SS.AskCloseSound = QStringLiteral(".\\ask.wav");
        for (const char *name : {"forward.wav", "ask.wav"})
            m_world->makeProgram(QLatin1String(name));
        m_world->addButton(QStringLiteral("Other"), QStringLiteral(".\\games\\other"));
        m_world->addButton(QStringLiteral("Game"), QStringLiteral(".\\games\\kids\\game")).OneInstance = VbFalse;
        m_world->build();

        auto *processes = m_world->processes;
        auto *windows = m_world->windows;
        processes->setRunning(77, true);
        m_world->buttons.SetProcessId(running, 77);
        windows->mainWindows.insert(77, 700);
        windows->onClose = [&](platform::WindowId w) {
            if (w == 700 && closes)
                processes->exit(77);
        };
        if (!answer.isEmpty())
            m_world->dialogs->answer(answer);
        // A click while the question is up is ignored.
        m_world->dialogs->onShow = [this, once = true](const platform::ScriptedDialogs::Shown &) mutable {
            if (std::exchange(once, false))
                m_world->launcher->ExecuteFile(1, false, false);
        };

        m_world->launcher->ExecuteFile(1, false, false);

        QCOMPARE(processes->started.size(), started ? 1 : 0);
        const bool asked = !answer.isEmpty();
        QCOMPARE(messages(), asked ? QStringList{AskClose} : QStringList());
        if (asked)
            QCOMPARE(m_world->dialogs->shown().first().style, Msg::OKCancel | Msg::Exclamation | Msg::SystemModal);
        QCOMPARE(m_world->sound->played, sound.isEmpty() ? QStringList() : QStringList{m_world->env.path(sound)});
        const bool closeAsked = answer == QLatin1String("OK");
        QCOMPARE(windows->calls.contains(QStringLiteral("close 700")), closeAsked);
        // Alt+F4 only when the close request was not enough.
        QCOMPARE(windows->calls.contains(QStringLiteral("altf4")), closeAsked && !closes);
        QCOMPARE(windows->calls.contains(QStringLiteral("focus 77")), !asked || closeAsked);
    }

    // A program of its own screen mode needs the one-program rule, and no
    // desktop opening; a negative rate keeps the mode's own, stored as 0. What
    // the desktop opens is not looked for first, and neither watched nor
    // counted; nor is a program that cannot start, which is said so, its
    // screen mode switched back.
    void startKinds_data()
    {
        QTest::addColumn<bool>("oneProcess");
        QTest::addColumn<bool>("shell");
        QTest::addColumn<bool>("fails");
        QTest::addColumn<bool>("switched");

        QTest::newRow("own screen mode") << true << false << false << true;
        QTest::newRow("not one process: no mode") << false << false << false << false;
        QTest::newRow("through the desktop: no mode") << true << true << false << false;
        QTest::newRow("cannot start: mode back") << true << false << true << true;
    }

    void startKinds()
    {
        QFETCH(bool, oneProcess);
        QFETCH(bool, shell);
        QFETCH(bool, fails);
        QFETCH(bool, switched);
        SS.OneProcessOnly = oneProcess ? VbTrue : VbFalse;
        BUTTON &b = m_world->addButton(QStringLiteral("Old game"),
                                       shell ? QStringLiteral("%apppath%docs\\story.odt") : QStringLiteral(".\\games\\other"));
        b.UseShellExecute = shell ? VbTrue : VbFalse;
        b.Parameters = QStringLiteral("--view");
        b.SetResolution = VbTrue;
        b.ScreenWidth = 800;
        b.ScreenHeight = 600;
        b.ColorDepth = 24;
        b.RefreshRate = -1;
        m_world->processes->failStarts = fails;
        execute(0);
        QCOMPARE(m_world->processes->started.size(), 1);
        const auto &run = m_world->processes->started.first();
        QCOMPARE(run.shell, shell);
        QCOMPARE(run.program, m_world->env.path(shell ? QStringLiteral("docs/story.odt") : QStringLiteral("games/other")));
        QCOMPARE(run.arguments, QStringLiteral("--view"));
        const QList<platform::DisplayMode> mode{{800, 600, 24, 75}};
        QCOMPARE(m_world->display->set, switched ? mode : QList<platform::DisplayMode>());
        QCOMPARE(SS.Buttons.at(0).RefreshRate, qint16(switched ? 0 : -1));
        QCOMPARE(m_world->orgResCalls, fails ? 1 : 0);
        QCOMPARE(messages(), fails ? QStringList{QStringLiteral("The associated file cannot be started!")} : QStringList());
        const bool counted = !shell && !fails;
        QCOMPARE(m_world->watch->ButtonWatch[0].Processes.size(), counted ? 1 : 0);
        QCOMPARE(m_world->statsRows().size(), counted ? 1 : 0);
    }

    // The remote console's start: no password, every other program closed first,
    // the button's own one brought forward.
    void forceClosesTheOthers()
    {
        m_world->addButton(QStringLiteral("A"), QStringLiteral(".\\games\\other"));
        m_world->addButton(QStringLiteral("B"), QStringLiteral(".\\games\\other"));
        m_world->addButton(QStringLiteral("Target"), QStringLiteral(".\\games\\kids\\game")).Password = QStringLiteral("pw");
        m_world->build();
        auto *processes = m_world->processes;
        auto *windows = m_world->windows;
        for (int j : {0, 1, 2}) {
            processes->setRunning(500 + j, true);
            windows->mainWindows.insert(500 + j, 900 + j);
            m_world->buttons.SetProcessId(j, 500 + j);
        }
        windows->onClose = [&](platform::WindowId w) { processes->exit(platform::Pid(w) - 400); };
        m_world->launcher->ExecuteFile(2, true, true);
        QVERIFY(!processes->isRunning(500));
        QVERIFY(!processes->isRunning(501));
        QVERIFY(processes->isRunning(502));
        QVERIFY(windows->calls.contains(QStringLiteral("focus 502")));
        QVERIFY(m_world->dialogs->shown().isEmpty());
        // Its own program runs and the button is one-instance: nothing new starts.
        QVERIFY(processes->started.isEmpty());
    }

    void pathVariables_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("expected"); // "@" stands for the program folder, "~" for home

        QTest::newRow("shell folder prefix") << ".\\demo\\a.bmp" << "@demo\\a.bmp";
        QTest::newRow("after a blank") << "-f .\\a.txt -g ./b" << "-f @a.txt -g @b";
        QTest::newRow("parent folder is no prefix") << "..\\up\\x" << "..\\up\\x";
        QTest::newRow("windows folder") << "%WinDir%\\notepad.exe" << "/usr/\\notepad.exe";
        QTest::newRow("system folder") << "%SYSDIR%xcalc" << "/usr/bin/xcalc";
        QTest::newRow("every occurrence") << "%AppPath%a;%apppath%b" << "@a;@b";
        QTest::newRow("documents") << "%documents%story.txt" << "~/Dokumente/story.txt";
        QTest::newRow("programs") << "%programs%game.desktop" << "~/data/applications/game.desktop";
        QTest::newRow("child browser") << "%childbrowser%" << "@wicket/wicket";
        QTest::newRow("unknown variable stays") << "%nothing%x" << "%nothing%x";
    }

    void pathVariables()
    {
        QFETCH(QString, stored);
        QFETCH(QString, expected);
        // The user's own folder names, as the desktop keeps them.
        const QString home = m_world->env.path(QStringLiteral("home"));
        QVERIFY(QDir().mkpath(home));
        qputenv("HOME", QFile::encodeName(home));
        qputenv("XDG_DATA_HOME", QFile::encodeName(home + QStringLiteral("/data")));
        QVERIFY(writeFile(m_world->env.configHome() + QStringLiteral("/user-dirs.dirs"),
                          "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\nXDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"));
        expected.replace(QLatin1Char('@'), modGlobals::AppPath());
        expected.replace(QLatin1Char('~'), home);
        QCOMPARE(modUtil::ExpandPathVars(stored), expected);
    }

private:
    void execute(int index)
    {
        m_world->build();
        m_world->launcher->ExecuteFile(index, false, false);
    }

    QStringList messages() const
    {
        QStringList texts;
        for (const auto &shown : m_world->dialogs->shown())
            if (shown.kind == QLatin1String("msgbox"))
                texts << shown.text;
        return texts;
    }

    std::unique_ptr<LaunchWorld> m_world;
    QString m_game;
};

QTEST_GUILESS_MAIN(TestLauncher)
#include "TestLauncher.moc"
