#include "Launcher.h"

#include "base/MenuControls.h"
#include "base/Prompts.h"
#include "base/ShutDown.h"
#include "base/modGlobals.h"
#include "base/modUtil.h"
#include "platform/Services.h"
#include "programs/ProcessWatch.h"
#include "stats/StatsStore.h"

#include <QCoreApplication>
#include <QScopedValueRollback>

using modGlobals::SS;
namespace Msg = platform::Msg;

namespace {

BUTTON *record(int index)
{
    if (index < 0 || index > SS.ButtonsMax || !SS.Buttons.has(index))
        return nullptr;
    return &SS.Buttons.at(index);
}

int message(const QString &text, int style)
{
    return platform::Services::dialogs().msgBox(text, style | Msg::Exclamation | Msg::SystemModal);
}

} // namespace

Launcher::Launcher(MenuControls &buttons, ProcessWatch *watch, StatsStore *stats, Prompts &prompts,
                   QObject *parent)
    : QObject(parent)
    , m_buttons(buttons)
    , m_watch(watch)
    , m_stats(stats)
    , m_prompts(prompts)
{
    setObjectName(QStringLiteral("Launcher"));
}

bool Launcher::askPassword(int index)
{
    for (;;) {
        const QString caption = m_buttons.IsLoaded(index) ? m_buttons.Caption(index) : QString();
        const std::optional<QString> typed =
            m_prompts.askPassword(QStringLiteral("Enter Password for [") + caption + QLatin1Char(']'));
        if (!typed)
            return false;
        const BUTTON *button = record(index);
        if (!button)
            return false;
        if (typed->toLower() == button->Password.toLower())
            return true;
        message(QStringLiteral("Invalid password!"), Msg::OKOnly);
    }
}

void Launcher::shutdownAsked()
{
    using namespace ShutDown;
    switch (m_prompts.askShutdown()) {
    case Prompts::ShutdownChoice::PowerOff:
        ExitWindowsWith(EWX_SHUTDOWN);
        break;
    case Prompts::ShutdownChoice::Restart:
        ExitWindowsWith(EWX_REBOOT);
        break;
    case Prompts::ShutdownChoice::LogOff:
        ExitWindowsWith(EWX_LOGOFF);
        break;
    case Prompts::ShutdownChoice::Cancel:
        break;
    }
}

bool Launcher::runKeyword(const QString &keyword)
{
    using namespace ShutDown;
    if (keyword == QLatin1String("refresh"))
        m_buttons.RefreshPictures(); // a link of that name is no program, in run mode too
    else if (keyword == QLatin1String("shutdown_force"))
        ExitWindowsWith(EWX_SHUTDOWN | EWX_FORCE);
    else if (keyword == QLatin1String("reboot_force"))
        ExitWindowsWith(EWX_REBOOT | EWX_FORCE);
    else if (keyword == QLatin1String("logoff_force"))
        ExitWindowsWith(EWX_LOGOFF | EWX_FORCE);
    else if (keyword == QLatin1String("shutdown_dialog"))
        shutdownAsked();
    else if (keyword == QLatin1String("lock_workstation"))
        platform::Services::power().lockSession();
    else if (keyword == QLatin1String("applications"))
        m_prompts.showTaskList();
    else if (keyword == QLatin1String("stat"))
        m_prompts.showStatistics();
    else if (keyword == QLatin1String("resettimer")) {
        if (PasswordOK(m_prompts, QString(), false))
            emit resetTimeRequested();
    }
    else
        return false;
    return true;
}

void Launcher::ExecuteFile(int index, bool skipPassword, bool force)
{
    // The waits and questions below let events run; a second activation
    // meanwhile would start a program past the rules being applied.
    if (m_busy)
        return;
    const QScopedValueRollback<bool> busy(m_busy, true);
    if (!m_buttons.IsLoaded(index) || !record(index))
        return;
    auto &processes = platform::Services::processes();
    auto &windows = platform::Services::windows();

    // Password.
    if (!record(index)->Password.trimmed().isEmpty() && !skipPassword) {
        if (!askPassword(index))
            return;
    }
    BUTTON *button = record(index);
    if (!button || !m_buttons.IsLoaded(index))
        return;

    // Keywords.
    if (runKeyword(button->Link.toLower()))
        return;

    // Opened through the desktop: none of the process rules apply.
    if (button->UseShellExecute != 0) {
        const QString link = modUtil::LocalPath(modUtil::ExpandPathVars(button->Link));
        const QString parameters = modUtil::ExpandPathVars(button->Parameters);
        const platform::Pid pid = processes.shellOpen(link, parameters, modUtil::FolderOf(link));
        m_buttons.SetProcessId(index, pid);
        return;
    }

    // One program at a time.
    if (force) {
        CloseAllRunningApps(index);
    } else if (SS.OneProcessOnly != 0) {
        for (int j = 0; j <= m_buttons.UBound(); ++j) {
            const platform::Pid pid = m_buttons.IsLoaded(j) ? m_buttons.ProcessId(j) : 0;
            if (pid == 0 || !processes.isRunning(pid))
                continue;
            if (SS.AskToCloseRunning == 0) {
                modUtil::PlayFile(SS.CloseFirstSound, false);
                windows.setAppFocus(pid);
                return;
            }
            if (j == index) {
                windows.setAppFocus(pid);
                return;
            }
            modUtil::PlayFile(SS.AskCloseSound, false);
            m_buttons.FocusMenu();
            const int answer = message(QStringLiteral("You already have another process running!\r\n\r\n"
                                                      "Do you want to close this application ?"),
                                       Msg::OKCancel);
            if (answer != Msg::OK)
                return;
            CloseRunningProgram(pid);
            if (processes.isRunning(pid))
                return;
        }
    }
    button = record(index);
    if (!button || !m_buttons.IsLoaded(index))
        return;

    // The file must be there.
    const QString link = modUtil::LocalPath(modUtil::ExpandPathVars(button->Link));
    if (!modGlobals::FileExists(link)) {
        if (!button->Link.isEmpty()) {
            m_buttons.FocusMenu();
            message(QStringLiteral("The associated file cannot be found!"), Msg::OKOnly);
        }
        return;
    }

    // One instance.
    const platform::Pid running = m_buttons.ProcessId(index);
    if (button->OneInstance != 0 && running != 0 && processes.isRunning(running)) {
        windows.setAppFocus(running);
        return;
    }

    // Screen mode.
    bool modeSwitched = false;
    if (button->OneInstance != 0 && SS.OneProcessOnly != 0 && button->SetResolution != 0)
        modeSwitched = SetRes(index) == 0;

    // Start, in the program's own folder.
    const QString parameters = modUtil::ExpandPathVars(button->Parameters);
    QCoreApplication::processEvents();
    const platform::Pid pid = processes.start(link, parameters, modUtil::FolderOf(link));
    button = record(index);
    if (!m_buttons.IsLoaded(index) || !button)
        return;

    // Watched and counted; a start that failed is neither, and is said.
    if (pid <= 0) {
        if (modeSwitched)
            emit screenModeRestoreNeeded();
        modGlobals::WriteLog(QStringLiteral("ExecuteFile()::Cannot start [") + link + QLatin1Char(' ') + parameters
                             + QLatin1Char(']'));
        m_buttons.FocusMenu();
        message(QStringLiteral("The associated file cannot be started!"), Msg::OKOnly);
        return;
    }
    m_buttons.SetProcessId(index, pid);
    m_watch->AddProcess(index);
    if (m_stats)
        m_stats->AddExecution(*button);
}

void Launcher::CloseRunningProgram(platform::Pid pid)
{
    auto &windows = platform::Services::windows();
    windows.setAppFocus(pid);
    // The window manager activates the window a moment later, not at once.
    modUtil::WaitMs(250);
    const platform::WindowId menuWindow = m_buttons.MenuWindow();
    if (windows.foregroundWindow() == menuWindow)
        return;
    windows.requestClose(windows.findMainWindow(pid));
    modUtil::WaitMs(500);
    if (!platform::Services::processes().isRunning(pid))
        return;
    // Alt+F4 goes to whatever is in front: only when that is this program.
    const platform::WindowId front = windows.foregroundWindow();
    if (front != 0 && front != menuWindow && front == windows.findMainWindow(pid)) {
        windows.sendAltF4();
        modUtil::WaitMs(500);
    }
}

bool Launcher::CloseAllRunningApps(int index)
{
    auto &processes = platform::Services::processes();
    auto &windows = platform::Services::windows();
    for (int j = 0; j <= m_buttons.UBound(); ++j) {
        const platform::Pid pid = m_buttons.IsLoaded(j) ? m_buttons.ProcessId(j) : 0;
        if (pid == 0 || !processes.isRunning(pid))
            continue;
        if (j == index) {
            windows.setAppFocus(pid);
            continue;
        }
        m_buttons.FocusMenu();
        windows.setAppFocus(pid);
        CloseRunningProgram(pid);
        if (processes.isRunning(pid))
            return false;
    }
    return true;
}

int Launcher::SetRes(int index)
{
    BUTTON *button = record(index);
    if (!button)
        return -1;
    int frequency = button->RefreshRate;
    const int result =
        ShutDown::ChangeDisplayMode(button->ScreenWidth, button->ScreenHeight, button->ColorDepth, frequency);
    button->RefreshRate = qint16(frequency);
    return result;
}
