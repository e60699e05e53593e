#pragma once

#include "platform/Processes.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>

class MenuControls;
class QTimer;
class Prompts;
class StatsStore;

// One program started from a menu button and still watched.
struct WatchedProcess {
    platform::Pid ProcessId = 0;
    QString ProcessCaption;  // the button's shown caption at the start
    QDateTime Started;       // for its running time
    bool WindowSeen = false;
    QDateTime PingedAt = {}; // since when an answer from its main window is awaited
};

// The watched programs of one button.
struct ButtonWatchEntry {
    QList<WatchedProcess> Processes;
    int ProcessUpper() const { return int(Processes.size()) - 1; }
};

// Watches the programs started from the menu: drops the ones that ended
// (counting their time and giving back the screen mode), and reports a main
// window that stops answering in the not-responding dialog.
class ProcessWatch : public QObject
{
    Q_OBJECT

public:
    // A program that runs but has shown no window yet is kept this long.
    static constexpr int StartupGraceSeconds = 30;

    ProcessWatch(MenuControls &buttons, StatsStore *stats, Prompts &prompts, QObject *parent = nullptr);

    QList<ButtonWatchEntry> ButtonWatch;
    // 250 ms while a program is watched: started by AddProcess, stopped by
    // the tick that finds nothing left to watch, so an idle menu sleeps.
    QTimer *checkProcess = nullptr;

    // Every entry empty, for records 0 .. upper.
    void Redim(int upper);
    // Grows to index, keeping what is watched.
    void Extend(int index);

    // Watches the program whose id Menu(index).ExtraData holds.
    void AddProcess(int index);
    // Counts the entry's running time and stops watching it.
    void RemoveProcess(int index, int entry);
    // The checkProcess timer's tick.
    void checkProcess_Timer();
    // The shell quits: every watched program's running time so far is
    // counted, and nothing is watched any more.
    void EndWatching();

    // Ends a process at once. True when it was ended.
    static bool EndProcess(platform::Pid pid);

signals:
    // A program ended while only one may run: the shell's own screen mode returns.
    void screenModeRestoreNeeded();

private:
    // True when the entry is still where it was (events may have run).
    bool locate(int &index, int &entry, platform::Pid pid) const;
    bool watching() const;
    void askAboutHang(int index, int entry, platform::Pid pid, quint64 window);

    MenuControls &m_buttons;
    StatsStore *m_stats;
    Prompts &m_prompts;
    bool m_inTick = false;
};
