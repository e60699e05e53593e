#pragma once

#include "platform/Processes.h"

#include <QObject>
#include <QString>

class MenuControls;
class Prompts;
class ProcessWatch;
class StatsStore;

// What a menu button does when it is activated: ask its password, perform a
// built-in keyword, or start its program under the one-program and
// one-instance rules, hand it to supervision and count it.
class Launcher : public QObject
{
    Q_OBJECT

public:
    Launcher(MenuControls &buttons, ProcessWatch *watch, StatsStore *stats, Prompts &prompts,
             QObject *parent = nullptr);

    // A child's click passes both flags false; the remote console passes both
    // true (no password, other programs closed first).
    void ExecuteFile(int index, bool skipPassword, bool force);

    // Asks the program to close: its main window first, then Alt+F4. The
    // caller looks whether it is still running afterwards.
    void CloseRunningProgram(platform::Pid pid);
    // Closes the programs of every other button; brings index's own forward.
    // False when one of them would not close.
    bool CloseAllRunningApps(int index);
    // Switches to the screen mode of button index. 0 when it is now in force.
    int SetRes(int index);

signals:
    // "resettimer" after the parent password: a new play period.
    void resetTimeRequested();
    // A program started in another screen mode did not start after all.
    void screenModeRestoreNeeded();

private:
    bool askPassword(int index);
    bool runKeyword(const QString &keyword);
    void shutdownAsked();

    MenuControls &m_buttons;
    ProcessWatch *m_watch;
    StatsStore *m_stats;
    Prompts &m_prompts;
    bool m_busy = false;
};
