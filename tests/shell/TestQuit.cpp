// Ending the shell: the play-time check of start-up handing over to the
// form's timers, the order of the unload steps, what "/debug" leaves alone,
// the exit menu in edit mode, saving and the screen-mode routine.
#include "MenuTestKit.h"

#include "base/ShutDown.h"
#include "data/Backup.h"
#include "frmMenu.h"
#include "keys/modKeyHandler.h"
#include "keys/modKeys.h"
#include "modGlobalsMain.h"
#include "playtime/PlayTime.h"

#include <QApplication>
#include <QDir>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace platform;

namespace {

// Every platform call of interest in one list, so the order across services shows.
QStringList g_events;

// While the shell ends, its menu takes no input and is gone before anything is waited for.
QString menuState()
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->objectName() != QLatin1String("frmMenu"))
            continue;
        if (window->isVisible())
            return window->isEnabled() ? QStringLiteral(" (menu takes input)") : QStringLiteral(" (menu shown)");
    }
    return QString();
}

class OrderedSound : public FakeSound
{
public:
    void play(const QString &path, bool wait) override
    {
        g_events << QStringLiteral("play %1%2").arg(QFileInfo(path).fileName(), wait ? QStringLiteral(" wait") : QString())
                        + (wait && menuState().endsWith(QLatin1String("input)")) ? menuState() : QString());
    }

    void stop() override { g_events << QStringLiteral("stop sound"); }
};

class OrderedDesktop : public FakeDesktop
{
public:
    void showTaskbar(bool show) override { g_events << (show ? "taskbar show" : "taskbar hide"); }
    void showDesktop(bool show) override { g_events << (show ? "desktop show" : "desktop hide"); }
};

class OrderedKeyboard : public FakeKeyboard
{
public:
    void removeKeyGrabs() override { g_events << QStringLiteral("ungrab keys"); }
};

class OrderedProcesses : public FakeProcesses
{
public:
    bool runAndWait(const QString &program, const QString &arguments, const QString &) override
    {
        g_events << QStringLiteral("run and wait %1 %2").arg(QFileInfo(program).fileName(), arguments) + menuState();
        return true;
    }

    Pid shellOpen(const QString &file, const QString &parameters, const QString &) override
    {
        g_events << QStringLiteral("open %1 %2").arg(QFileInfo(file).fileName(), parameters);
        return 1;
    }
};

} // namespace

class TestQuit : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_world = std::make_unique<MenuWorld>();
        g_events.clear();
        Services::set(std::make_unique<OrderedSound>());
        Services::set(std::make_unique<OrderedDesktop>());
        Services::set(std::make_unique<OrderedKeyboard>());
        Services::set(std::make_unique<OrderedProcesses>());
    }

    void cleanup() { m_world.reset(); }

    // After the play-time check of start-up the menu shows, or a timer of the
    // form ends start-up: ShutdownTimer switches off, UnloadTimer quits.
    // "-clear" anywhere on the command line empties the menu first.
    void loadSteps_data()
    {
        QTest::addColumn<QString>("shutdown");
        QTest::addColumn<QString>("timerStarted"); // none: time is left and the menu shows
        QTest::addColumn<QString>("commandLine");

        QTest::newRow("time left, -clear") << QString() << QString() << "/debug -CLEAR";
        QTest::newRow("expired, shut down: switch off") << QString() << "ShutdownTimer" << "";
        QTest::newRow("expired, shut down: quit") << "0" << "UnloadTimer" << "";
    }

    void loadSteps()
    {
        QFETCH(QString, shutdown);
        QFETCH(QString, timerStarted);
        QFETCH(QString, commandLine);
        const bool shown = timerStarted.isEmpty();

        CoreFixture::setValue(QStringLiteral("TimeLimit"), QStringLiteral("PlayTime"), QStringLiteral("1"));
        CoreFixture::setValue(QStringLiteral("TimeLimit"), QStringLiteral("TimeLeft"),
                               shown ? QStringLiteral("200") : QStringLiteral("10"));
        if (!shutdown.isNull())
            CoreFixture::setValue(QStringLiteral("TimeLimit"), QStringLiteral("Shutdown"), shutdown);
        modGlobals::SS.Password = QStringLiteral("mum");
        m_world->addButton(QStringLiteral("Game"), QString());
        modGlobals::CommandLine = commandLine;

        const QStringList answers = shown ? QStringList() : QStringList{QStringLiteral("shutdown")};
        m_world->prompts.script(answers);
        frmMenu menu(nullptr, &m_world->prompts);
        menu.Load();
        QCOMPARE(m_world->prompts.unexpected, 0);
        QCOMPARE(m_world->prompts.asked.size(), answers.size());
        QCOMPARE(menu.isVisible(), shown);
        QCOMPARE(modGlobals::SS.ButtonsMax, commandLine.isEmpty() ? 0 : -1);
        const auto timer = [&menu](const char *name) { return menu.findChild<QTimer *>(QLatin1String(name)); };
        QCOMPARE(timer("PlaytimeTimer")->isActive(), shown);
        QCOMPARE(timer("ShutdownTimer")->isActive(), timerStarted == QLatin1String("ShutdownTimer"));
        QCOMPARE(timer("UnloadTimer")->isActive(), timerStarted == QLatin1String("UnloadTimer"));
        for (const char *name : {"ShutdownTimer", "UnloadTimer", "TimerRemoveLoadScreen"})
            timer(name)->stop();
    }

    void unloadStepsInOrder_data()
    {
        QTest::addColumn<bool>("debug");
        QTest::addColumn<QString>("waitFlag");
        QTest::addColumn<QStringList>("expected");
        const QStringList restore{"taskbar show", "desktop show", "ungrab keys"};
        QTest::newRow("session, exit program opened")
            << false << "0" << QStringList{"stop sound", "play bye.wav wait"} + restore + QStringList{"open goodbye.sh --now"};
        QTest::newRow("session, exit program waited for")
            << false << "1" << QStringList{"stop sound", "play bye.wav wait"} + restore + QStringList{"run and wait goodbye.sh --now"};
        QTest::newRow("debug leaves the desktop alone")
            << true << "1" << QStringList{"stop sound", "play bye.wav wait", "run and wait goodbye.sh --now"};
    }

    void unloadStepsInOrder()
    {
        QFETCH(bool, debug);
        QFETCH(QString, waitFlag);
        QFETCH(QStringList, expected);
        modGlobals::DebugMode = debug;
        modGlobals::TimeLeftSeconds = 321;
        auto &ss = modGlobals::SS;
        ss.ExitSound = QStringLiteral(".\\bye.wav");
        ss.ShellCommands.at(3) = QStringLiteral("%apppath%goodbye.sh");
        ss.ShellCommands.at(4) = QStringLiteral("--now");
        ss.ShellCommands.at(5) = waitFlag;
        QFile(m_world->env.path(QStringLiteral("bye.wav"))).open(QIODevice::WriteOnly);
        QVERIFY(!Backup::WriteMarker(m_world->env.programFolder()));
        QVERIFY(!Backup::WriteBackup(m_world->env.programFolder(), ss, {}));

        if (!debug)
            modKeyHandler::HookKeyHandler(true); // as start-up does
        frmMenu menu(nullptr);
        menu.show();
        QSignalSpy unloaded(&menu, &frmMenu::unloaded);
        menu.Unload();
        QVERIFY(!modKeyHandler::KeyHandlerHook);
        QCOMPARE(unloaded.count(), 1);
        QCOMPARE(g_events, expected);
        QCOMPARE(SettingsStore::GetSetting("Brindle", "TimeLimit", "TimeLeft"), QStringLiteral("321"));
        QCOMPARE(SettingsStore::GetSetting("Brindle", "Beeper", "Quit"), QStringLiteral("1"));
        QVERIFY(!Backup::MarkerExists(m_world->env.programFolder()));
        QVERIFY(QDir(m_world->env.path(QStringLiteral("backup"))).entryList(QDir::Files).isEmpty());
        // A second request to quit does nothing more.
        g_events.clear();
        menu.Unload();
        QVERIFY(g_events.isEmpty());
    }

    void runTimeCountedAtQuit_data()
    {
        QTest::addColumn<bool>("expires");
        QTest::newRow("the parent quits") << false;
        QTest::newRow("the play time runs out") << true;
    }

    // A program still running when the shell ends has played until then.
    void runTimeCountedAtQuit()
    {
        QFETCH(bool, expires);
        const QDateTime t0(QDate(2024, 3, 5), QTime(10, 0, 0));
        Clock::setNow(t0);
        modGlobals::DebugMode = true;
        // Five minutes of play from t0; when they are up the shell quits.
        for (const auto &[key, value] : {std::pair{"PlayTime", "1"}, {"TimeLeft", "300"}, {"Shutdown", "0"}})
            CoreFixture::setValue(QStringLiteral("TimeLimit"), QLatin1String(key), QLatin1String(value));
        CoreFixture::setValue(QStringLiteral("TimeLimit"), QStringLiteral("LastInit"), SettingsStore::FormatDate(t0));
        QVERIFY(m_world->openStats());
        m_world->makeProgram(QStringLiteral("game"));
        m_world->addButton(QStringLiteral("Game"), QStringLiteral(".\\game"));
        frmMenu menu(nullptr, &m_world->prompts);
        menu.Load();
        menu.ExecuteFile(0, true, false);
        Clock::setNow(t0.addSecs(300));
        if (expires)
            menu.findChild<PlayTime *>()->Tick();
        else
            menu.Unload();
        QVERIFY(menu.IsUnloaded());
        QCOMPARE(m_world->statsRows(), QStringList{QStringLiteral(".\\game \"\"|1|300|Game")});
    }

    void exitMenuInEditMode_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("quits");
        QTest::addColumn<bool>("saved");
        QTest::addColumn<bool>("keysBlocked"); // a folder in the place of spc_keys.dat
        QTest::newRow("yes saves and quits") << "Yes" << true << true << false;
        QTest::newRow("no quits without saving") << "No" << true << false << false;
        QTest::newRow("cancel stays") << "Cancel" << false << false << false;
        QTest::newRow("yes, keys cannot be saved: shown, stays") << "Yes" << false << false << true;
    }

    void exitMenuInEditMode()
    {
        QFETCH(QString, answer);
        QFETCH(bool, quits);
        QFETCH(bool, saved);
        QFETCH(bool, keysBlocked);
        const QString keys = m_world->env.path(QStringLiteral("spc_keys.dat"));
        QVERIFY(!keysBlocked || QDir().mkpath(keys + QStringLiteral("/x")));
        modKeys::SpecialKeys = {{172, QStringLiteral("Web")}};
        const auto clearKeys = qScopeGuard([] { modKeys::ClearSpecialKeys(); });
        const QString settings = m_world->env.path(QStringLiteral("settings.dat"));
        QVERIFY(!SettingsFile::SaveFile(settings, modGlobals::SS));
        const QByteArray before = readFile(settings);
        modGlobals::SS.Password.clear();
        modGlobals::SS.Reserved2 = QStringLiteral("changed while editing");

        frmMenu menu(nullptr);
        menu.findChild<QAction *>(QStringLiteral("mnuEditMode"))->setChecked(true);
        m_world->dialogs->answer(answer);
        menu.findChild<QAction *>(QStringLiteral("mnuExit"))->trigger();
        QCOMPARE(m_world->dialogs->shown().size(), keysBlocked ? 2 : 1);
        QCOMPARE(m_world->dialogs->shown().first().text, QStringLiteral("Save changes before quitting?"));
        QCOMPARE(m_world->dialogs->shown().first().style, int(Msg::Exclamation | Msg::YesNoCancel));
        QCOMPARE(menu.IsUnloaded(), quits);
        QCOMPARE(readFile(settings) != before, saved);
        QCOMPARE(readFile(keys) == "172,Web\r\n", saved);
    }

    // What quitting cannot store or delete is logged; the quit goes on.
    void quitLogsWhatItCannotWrite()
    {
        QVERIFY(QDir().mkpath(SettingsStore::filePath(QStringLiteral("Brindle"))));
        QVERIFY(QDir().mkpath(m_world->env.path(QStringLiteral("_!/x"))));
        frmMenu menu(nullptr);
        menu.Unload();
        QVERIFY(menu.IsUnloaded());
        const QStringList log = m_world->env.logLines().filter(QStringLiteral("Unload()::"));
        QCOMPARE(log.size(), 2);
        QVERIFY(log.first().startsWith(QStringLiteral("Unload()::Time left not stored: Cannot read")));
    }

    // Also when settings.dat is lost: then the install's password is asked.
    void exitMenuAsksParentPassword()
    {
        QVERIFY((ParentFile{PasswordKey::make(QStringLiteral("Secret")), {}}.Save(m_world->env.path(QStringLiteral("parent.ini")))));
        modGlobals::LoadDataFiles(); // there is no settings.dat
        // The empty menu of a first start, not an error that ends start-up.
        QVERIFY(!modGlobals::DataFileError);
        QCOMPARE(modGlobals::SS.ShellCommandsMax, 5);
        m_world->prompts.script({QStringLiteral("cancel"), QStringLiteral("wrong"), QStringLiteral("sECRET")});
        frmMenu menu(nullptr, &m_world->prompts);
        menu.findChild<QAction *>(QStringLiteral("mnuExit"))->trigger();
        QVERIFY(!menu.IsUnloaded());
        menu.findChild<QAction *>(QStringLiteral("mnuExit"))->trigger();
        QCOMPARE(m_world->prompts.asked.size(), 3);
        QVERIFY(menu.IsUnloaded());
    }

    void escapeKey_data()
    {
        QTest::addColumn<bool>("debug");
        QTest::newRow("debug quits") << true;
        QTest::newRow("session only stops the sound") << false;
    }

    // Escape quits only a debug run; a close request of the window manager never does.
    void escapeKey()
    {
        QFETCH(bool, debug);
        modGlobals::DebugMode = debug;
        frmMenu menu(nullptr);
        menu.show();
        QVERIFY(QTest::qWaitForWindowExposed(&menu));
        QVERIFY(!menu.close());
        QVERIFY(menu.isVisible());
        QTest::keyClick(&menu, Qt::Key_Escape);
        QCOMPARE(g_events.first(), QStringLiteral("stop sound"));
        QCOMPARE(menu.IsUnloaded(), debug);
    }

    // A settings.dat that cannot be written (a folder in its place) is said so.
    void saveFailureIsShown()
    {
        QVERIFY(QDir().mkpath(m_world->env.path(QStringLiteral("settings.dat/x"))));
        frmMenu menu(nullptr);
        QVERIFY(!menu.Save(false));
        QCOMPARE(m_world->dialogs->shown().size(), 1);
        QCOMPARE(m_world->dialogs->shown().first().style, int(Msg::Critical));
        QVERIFY(m_world->dialogs->shown().first().text.contains(QStringLiteral("\r\nCode ")));
    }

    // A mode of another colour depth than the screen has is refused, and
    // nothing is switched (the launcher's tests show a size that is there).
    void changeDisplayModeRefusesOtherDepth()
    {
        int frequency = 60;
        QCOMPARE(ShutDown::ChangeDisplayMode(1024, 768, 16, frequency), -1);
        QCOMPARE(frequency, 60);
        QVERIFY(m_world->display->set.isEmpty());
    }

private:
    std::unique_ptr<MenuWorld> m_world;
};

QTEST_MAIN(TestQuit)
#include "TestQuit.moc"
