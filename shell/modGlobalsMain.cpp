// The shell's entry routine: start-up up to the main form.
#include "modGlobalsMain.h"

#include "base/ParentPassword.h"
#include "base/modGlobals.h"
#include "data/Backup.h"
#include "data/SettingsFile.h"
#include "frmMenu.h"
#include "frmShowLoading.h"
#include "keys/modKeyHandler.h"
#include "keys/modKeys.h"
#include "WindowGuard.h"
#include "platform/Services.h"

#include <QApplication>
#include <QPointer>

#include <QuitSignals.h>
#include <SingleInstance.h>
#include <SystemPlugins.h>

#include <optional>

namespace modGlobals {
namespace {

QString joinArguments(int argc, char **argv)
{
    QStringList parts;
    for (int i = 1; i < argc; ++i)
        parts.append(QString::fromLocal8Bit(argv[i]));
    return parts.join(QLatin1Char(' '));
}

QString recoveryQuestion()
{
    return QStringLiteral("Brindle was last terminated abnormally!\r\n\r\n"
                          "You may find a backup-file in directory \"")
           + AppPath() + QStringLiteral("backup/\"\r\n\r\n")
           + QStringLiteral("If you want to recover a backup file, you must do it now, then start Brindle "
                            "again after recovering the data. If you continue now, the backup will be lost!"
                            "\r\n\r\nContinue ?");
}

// The recovery question after an abnormal end: true when start-up may go
// on, false when the parent chose to quit.
bool askForRecovery(frmShowLoading *loadScreen)
{
    auto &dialogs = platform::Services::dialogs();
    auto &windows = platform::Services::windows();
    for (;;) {
        WriteLog(QStringLiteral("Main()::_! exist, asking user for recovery"));
        const int answer = dialogs.msgBox(recoveryQuestion(), platform::Msg::Exclamation | platform::Msg::OKCancel
                                                                  | platform::Msg::SystemModal);
        if (answer == platform::Msg::OK)
            return true;
        WriteLog(QStringLiteral("Main()::Recovery Cancel, check pwd, then quit."));
        if (!ParentPassword::IsSet())
            return false;
        WriteLog(QStringLiteral("Main()::SS.Password, asking pwd:"));
        for (;;) {
            WriteLog(QStringLiteral("Main()::Removing LoadScreen TopMost"));
            windows.setTopMost(loadScreen, false);
            const QString typed = dialogs.inputBox(QStringLiteral("Enter password to quit:"),
                                                   QStringLiteral("Password"), QString(), QLatin1Char('*'));
            if (typed.isEmpty())
                break; // back to the recovery question
            if (ParentPassword::Matches(typed)) {
                WriteLog(QStringLiteral("Main()::Resetting LoadScreen TopMost"));
                windows.setTopMost(loadScreen, true);
                return false;
            }
        }
    }
}

// Quits without starting; the marker and the backups stay.
int quitWithoutStarting()
{
    WriteLog(QStringLiteral("Main()::Quitting"));
    if (!DebugMode)
        modKeyHandler::GiveBackShell(true);
    WriteLog(QStringLiteral("Main()::Program Terminated."));
    return 0;
}

} // namespace

void LoadDataFiles()
{
    SS = SettingsRecord();
    DataFileError.reset();
    Install = ParentFile::Load(AppPath() + QLatin1String("parent.ini"));
    bool missingOrEmpty = false;
    DataFileError = SettingsFile::LoadFile(AppPath() + QLatin1String("settings.dat"), SS, &missingOrEmpty);
    // A first start, or a lost file: an empty menu, saved properly next time.
    if (!DataFileError && missingOrEmpty)
        SettingsFile::MakeClearState(SS);
    if (DataFileError) {
        WriteLog(QLatin1String("LoadDataFiles()::") + DataFileError->Description + QLatin1String(" Code ")
                 + QString::number(DataFileError->Number));
        return;
    }
    modKeys::LoadSpecialKeys(AppPath() + QLatin1String("spc_keys.dat"));
    // An installed hook swallows the keys of the table just read.
    modKeyHandler::ApplySpecialKeys();
}

int Main(int argc, char **argv)
{
    // A desktop's own file dialog (a portal, a file manager's) could browse
    // and change files beyond ours; Qt's dialogs are read-only here.
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    SystemPlugins::Restrict();
    QApplication app(argc, argv);
    SystemPlugins::Confirm();
    QApplication::setApplicationName(AppTitle);
    QApplication::setQuitOnLastWindowClosed(false);
    CommandLine = joinArguments(argc, argv);


    WriteLog(QStringLiteral("------------------------- STARTUP -------------------------"));
    SingleInstance instance(QStringLiteral("brindle"), AppPath());
    if (!instance.tryAcquire()) {
        WriteLog(QStringLiteral("Main()::AppPrev!"));
        platform::Services::dialogs().msgBox(QStringLiteral("Brindle is already running!"),
                                             platform::Msg::Exclamation | platform::Msg::SystemModal,
                                             AppTitle);
        QCoreApplication::processEvents();
        return 0;
    }

    // Log-out, kill and Ctrl+C end the shell in the same orderly way as "Exit";
    // before the menu exists, the desktop and keyboard are given back.
    QPointer<frmMenu> menu;
    QuitSignals quitSignals;
    QObject::connect(&quitSignals, &QuitSignals::received, &app, [&menu](int) {
        if (menu) {
            if (!menu->IsUnloaded())
                menu->Unload();
            return;
        }
        std::exit(quitWithoutStarting());
    });

    LoadDataFiles();
    WriteLog(QStringLiteral("Main()::DataFiles Loaded"));
    MarkerCheckOff = HasSwitch(CommandLine, QStringLiteral("/mi"));
    DebugMode = HasSwitch(CommandLine, QStringLiteral("/debug"));
    std::optional<WindowGuard> windowGuard;
    if (!DebugMode)
        windowGuard.emplace();

    if (!DebugMode) {
        WriteLog(QStringLiteral("Main()::Attempting to Remove Taskbar"));
        platform::Services::desktop().showTaskbar(false);
        WriteLog(QStringLiteral("Main()::Attempting to Remove Desktop (Windows Shell)"));
        platform::Services::desktop().showDesktop(false);
        WriteLog(QStringLiteral("Main()::Attempting to Hook KeyHandler (Subclassing)"));
        modKeyHandler::HookKeyHandler(true);
    }
    WriteLog(QStringLiteral("Main()::Taskbar,Desktop,KeyHandler attempts wend successfully."));

    WriteLog(QStringLiteral("Main()::Loading LoadScreen..."));
    QPointer<frmShowLoading> loadScreen = new frmShowLoading();
    loadScreen->show();
    WriteLog(QStringLiteral("Main()::LoadScreen loaded successfully"));
    QCoreApplication::processEvents();

    WriteLog(QStringLiteral("Main()::Checking for _!"));
    if (Backup::MarkerExists(AppPath()) && !MarkerCheckOff) {
        if (!askForRecovery(loadScreen)) {
            delete loadScreen;
            return quitWithoutStarting();
        }
    }

    frmMenu mainForm(loadScreen);
    menu = &mainForm;
    mainForm.Load();
    if (mainForm.IsUnloaded())
        return 0;
    return app.exec();
}

} // namespace modGlobals
