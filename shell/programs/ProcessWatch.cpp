#include "ProcessWatch.h"

#include "base/MenuControls.h"
#include "base/Prompts.h"
#include "base/modGlobals.h"
#include "base/modUtil.h"
#include "platform/Services.h"
#include "stats/StatsStore.h"

#include <Clock.h>
#include <VbNumber.h>

#include <QTimer>

#include <algorithm>

using modGlobals::SS;

ProcessWatch::ProcessWatch(MenuControls &buttons, StatsStore *stats, Prompts &prompts, QObject *parent)
    : QObject(parent)
    , m_buttons(buttons)
    , m_stats(stats)
    , m_prompts(prompts)
{
    setObjectName(QStringLiteral("ProcessWatch"));
    checkProcess = new QTimer(this);
    checkProcess->setObjectName(QStringLiteral("checkProcess"));
    checkProcess->setInterval(250);
    connect(checkProcess, &QTimer::timeout, this, &ProcessWatch::checkProcess_Timer);
}

bool ProcessWatch::watching() const
{
    return std::any_of(ButtonWatch.cbegin(), ButtonWatch.cend(),
                       [](const ButtonWatchEntry &entry) { return !entry.Processes.isEmpty(); });
}

void ProcessWatch::Redim(int upper)
{
    ButtonWatch = QList<ButtonWatchEntry>(qMax(0, upper + 1));
}

void ProcessWatch::Extend(int index)
{
    if (index >= ButtonWatch.size())
        ButtonWatch.resize(index + 1);
}

void ProcessWatch::AddProcess(int index)
{
    if (index < 0 || !m_buttons.IsLoaded(index))
        return;
    Extend(index);
    WatchedProcess process;
    process.ProcessId = m_buttons.ProcessId(index);
    process.ProcessCaption = m_buttons.Caption(index);
    process.Started = Clock::now();
    ButtonWatch[index].Processes.append(process);
    if (!checkProcess->isActive())
        checkProcess->start();
    if (SS.Buttons.has(index))
        SS.Buttons.at(index).StartTime = qint32(VbNumber::RoundHalfEven(Clock::secondsSinceMidnight()));
}

void ProcessWatch::RemoveProcess(int index, int entry)
{
    if (index < 0 || index >= ButtonWatch.size() || entry < 0 || entry >= ButtonWatch[index].Processes.size())
        return;
    const WatchedProcess process = ButtonWatch[index].Processes.at(entry);
    if (SS.Buttons.has(index) && index <= SS.ButtonsMax) {
        BUTTON &button = SS.Buttons.at(index);
        if (m_stats)
            m_stats->UpdateSeconds(button, process.Started);
        button.StartTime = 0;
    }
    ButtonWatch[index].Processes.removeAt(entry);
}

void ProcessWatch::EndWatching()
{
    for (int i = 0; i < ButtonWatch.size(); ++i)
        while (!ButtonWatch[i].Processes.isEmpty())
            RemoveProcess(i, ButtonWatch[i].ProcessUpper());
    checkProcess->stop();
}

bool ProcessWatch::EndProcess(platform::Pid pid)
{
    return platform::Services::processes().terminate(pid);
}

bool ProcessWatch::locate(int &index, int &entry, platform::Pid pid) const
{
    if (index < ButtonWatch.size() && entry < ButtonWatch[index].Processes.size()
        && ButtonWatch[index].Processes.at(entry).ProcessId == pid)
        return true;
    if (index >= ButtonWatch.size())
        return false;
    const QList<WatchedProcess> &list = ButtonWatch[index].Processes;
    for (int k = 0; k < list.size(); ++k) {
        if (list.at(k).ProcessId == pid) {
            entry = k;
            return true;
        }
    }
    return false;
}

void ProcessWatch::askAboutHang(int index, int entry, platform::Pid pid, quint64 window)
{
    auto &windows = platform::Services::windows();
    QString title = windows.windowTitle(window);
    const int nul = int(title.indexOf(QChar(0)));
    if (nul >= 0)
        title.truncate(nul);
    const QString name = QLatin1Char('"') + title + QLatin1Char('"');
    m_buttons.FocusMenu();
    const Prompts::HangChoice choice = m_prompts.askNotResponding(
        name + QStringLiteral(" is not responding!"),
        QStringLiteral("The application ") + name + QStringLiteral(" is not responding. What do you want to do ?"));
    switch (choice) {
    case Prompts::HangChoice::End:
        if (!EndProcess(pid)) {
            m_buttons.FocusMenu();
            // One that refuses to end is not watched any longer.
            if (locate(index, entry, pid))
                RemoveProcess(index, entry);
        }
        break;
    case Prompts::HangChoice::SwitchTo:
        windows.setAppFocus(pid);
        break;
    default:
        break;
    }
}

void ProcessWatch::checkProcess_Timer()
{
    // The hang question lets events run, this timer's included; the tick that
    // asks holds the others off until it is done.
    if (m_inTick)
        return;
    if (SS.ButtonsMax < 0) {
        if (!watching())
            checkProcess->stop();
        return;
    }
    m_inTick = true;
    auto &processes = platform::Services::processes();
    auto &windows = platform::Services::windows();
    const QDateTime now = Clock::now();
    const qint32 timeout = SS.ResponseTimeout;
    const qint64 ms = std::max<qint64>(50, qint64(timeout) * 1000);

    // One look at the window list for every program. Nothing below lets
    // events run before the hang question, so no click can start or end a
    // program behind this snapshot's back.
    QList<platform::Pid> alive;
    for (const ButtonWatchEntry &entry : std::as_const(ButtonWatch))
        for (const WatchedProcess &process : entry.Processes)
            if (processes.isRunning(process.ProcessId))
                alive.append(process.ProcessId);
    const QHash<platform::Pid, platform::WindowId> mainWindows = windows.findMainWindows(alive);

    QList<platform::WindowId> pinged;
    platform::Pid hungPid = 0;
    int hungIndex = 0, hungEntry = 0;
    for (int i = 0; i <= m_buttons.UBound() && i < ButtonWatch.size(); ++i) {
        int k = 0;
        while (k < ButtonWatch[i].Processes.size()) {
            WatchedProcess &process = ButtonWatch[i].Processes[k];
            const platform::Pid pid = process.ProcessId;
            const bool isRunning = alive.contains(pid);
            const platform::WindowId window = mainWindows.value(pid);
            // A window manager may keep a new window under the full-screen
            // menu; the program the child asked for comes to the front.
            if (window && !process.WindowSeen) {
                process.WindowSeen = true;
                windows.setAppFocus(pid);
            }
            // A program still starting up has no window yet; give it time.
            const bool starting = isRunning && !window && !process.WindowSeen
                                  && process.Started.secsTo(now) < StartupGraceSeconds;
            if (!isRunning || (!window && !starting)) {
                if (SS.OneProcessOnly != 0)
                    emit screenModeRestoreNeeded();
                RemoveProcess(i, k);
                continue;
            }
            if (window && timeout > 0) {
                // Not responding: its ping has gone unanswered for the whole time-out.
                const qint64 waited = process.PingedAt.isValid() ? process.PingedAt.msecsTo(now) : -1;
                if (waited < 0 || !windows.pingOutstanding(window))
                    process.PingedAt = now;
                else if (waited >= ms && !hungPid) {
                    hungPid = pid;
                    hungIndex = i;
                    hungEntry = k;
                }
                pinged.append(window);
            }
            ++k;
        }
    }
    windows.ping(pinged);

    // One question per tick; another hung program is asked about at the next.
    if (hungPid) {
        askAboutHang(hungIndex, hungEntry, hungPid, mainWindows.value(hungPid));
        // Events ran: the list may have changed meanwhile. The time-out
        // counts afresh after the question.
        if (locate(hungIndex, hungEntry, hungPid))
            ButtonWatch[hungIndex].Processes[hungEntry].PingedAt = Clock::now();
        modUtil::WaitMs(50);
    }

    for (int i = 0; i <= m_buttons.UBound(); ++i) {
        if ((i >= ButtonWatch.size() || ButtonWatch[i].Processes.isEmpty()) && m_buttons.IsLoaded(i))
            m_buttons.ClearProcess(i);
    }
    if (!watching())
        checkProcess->stop();
    m_inTick = false;
}
