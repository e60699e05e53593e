// The shell's entry routine: start-up up to the main form.
#include "frmMenu.h"
#include "frmShowLoading.h"
#include "modGlobals.h"
#include "modKeyHandler.h"
#include "data/Backup.h"
#include "platform/Services.h"

#include <QApplication>
#include <QPointer>

#include <QuitSignals.h>
#include <SingleInstance.h>

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

// M9: true when start-up may go on, false when the parent chose to quit.
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
        if (SS.Password.isEmpty())
            return false;
        WriteLog(QStringLiteral("Main()::SS.Password, asking pwd:"));
        for (;;) {
            WriteLog(QStringLiteral("Main()::Removing LoadScreen TopMost"));
            windows.setTopMost(loadScreen, false);
            const QString typed = dialogs.inputBox(QStringLiteral("Enter password to quit:"),
                                                   QStringLiteral("Password"), QString(), QLatin1Char('*'));
            if (typed.isEmpty())
                break; // back to the recovery question
            if (typed.compare(SS.Password, Qt::CaseInsensitive) == 0) {
                WriteLog(QStringLiteral("Main()::Resetting LoadScreen TopMost"));
                windows.setTopMost(loadScreen, true);
                return false;
            }
        }
    }
}

// M11: quit without starting; the marker and the backups stay.
int quitWithoutStarting()
{
    WriteLog(QStringLiteral("Main()::Quitting"));
    if (!DebugMode) {
        WriteLog(QStringLiteral("Main()::Adding Taskbar"));
        platform::Services::desktop().showTaskbar(true);
        WriteLog(QStringLiteral("Main()::Adding Desktop"));
        platform::Services::desktop().showDesktop(true);
        WriteLog(QStringLiteral("Main()::Unhooking KeyHandler"));
        modKeyHandler::HookKeyHandler(false);
    }
    WriteLog(QStringLiteral("Main()::Program Terminated."));
    return 0;
}

} // namespace

int Main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(AppTitle);
    QApplication::setQuitOnLastWindowClosed(false);
    CommandLine = joinArguments(argc, argv);


    // M1, M2.
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

    // M3, M4.
    LoadDataFiles();
    WriteLog(QStringLiteral("Main()::DataFiles Loaded"));
    MarkerCheckOff = HasSwitch(CommandLine, QStringLiteral("/mi"));
    DebugMode = HasSwitch(CommandLine, QStringLiteral("/debug"));

    // M5, M6.
    if (!DebugMode) {
        WriteLog(QStringLiteral("Main()::Attempting to Remove Taskbar"));
        platform::Services::desktop().showTaskbar(false);
        WriteLog(QStringLiteral("Main()::Attempting to Remove Desktop (Windows Shell)"));
        platform::Services::desktop().showDesktop(false);
        WriteLog(QStringLiteral("Main()::Attempting to Hook KeyHandler (Subclassing)"));
        modKeyHandler::HookKeyHandler(true);
    }
    WriteLog(QStringLiteral("Main()::Taskbar,Desktop,KeyHandler attempts wend successfully."));

    // M7.
    WriteLog(QStringLiteral("Main()::Loading LoadScreen..."));
    QPointer<frmShowLoading> loadScreen = new frmShowLoading();
    loadScreen->show();
    WriteLog(QStringLiteral("Main()::LoadScreen loaded successfully"));
    QCoreApplication::processEvents();

    // M8, M9.
    WriteLog(QStringLiteral("Main()::Checking for _!"));
    if (Backup::MarkerExists(AppPath()) && !MarkerCheckOff) {
        if (!askForRecovery(loadScreen)) {
            delete loadScreen;
            return quitWithoutStarting();
        }
    }

    // M10.
    frmMenu mainForm(loadScreen);
    menu = &mainForm;
    mainForm.Load();
    if (mainForm.IsUnloaded())
        return 0;
    return app.exec();
}

} // namespace modGlobals
