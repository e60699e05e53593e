#pragma once

#include "Processes.h"

#include <QHash>
#include <QList>
#include <QString>

class QWidget;

namespace platform {

using WindowId = quint64;

// Top-level windows of other programs (the window manager's client list).
class Windows
{
public:
    virtual ~Windows() = default;

    struct TopLevel {
        WindowId id = 0;
        QString title;
        bool visible = false;
        bool hasParent = false;
        bool hasOwner = false;   // transient for another window
        bool toolWindow = false; // utility, toolbar, menu, dock, desktop or skip-taskbar
        bool appWindow = false;  // owned but meant to show in the task list
        Pid pid = 0;             // the program that shows it; 0 when unknown
    };

    // The first managed window, from the top, that belongs to pid or one of its
    // descendants; 0 when none.
    virtual WindowId findMainWindow(Pid pid) = 0;

    // Brings a program's main window to the front, restoring it when minimised.
    virtual void setAppFocus(Pid pid) = 0;
    virtual void activateWindow(WindowId window) = 0;
    virtual WindowId foregroundWindow() = 0;

    // Asks the window to close as its close button would.
    virtual void requestClose(WindowId window) = 0;
    // Types Alt+F4 into the foreground window.
    virtual void sendAltF4() = 0;

    // Pings every window of the list that offers pings and has no ping out
    // yet, and returns at once: the answers come in as events, so no user
    // input runs while the caller waits. Windows left out of the list are no
    // longer waited for.
    virtual void ping(const QList<WindowId> &windows) = 0;
    // True while the window leaves its ping unanswered; never for a window
    // that does not offer pings.
    virtual bool pingOutstanding(WindowId window) = 0;

    virtual QString windowTitle(WindowId window) = 0;

    // The same question for many at once, from one look at the window list,
    // so a watch over many programs stays cheap.
    virtual QHash<Pid, WindowId> findMainWindows(const QList<Pid> &pids)
    {
        QHash<Pid, WindowId> found;
        for (Pid pid : pids)
            found.insert(pid, findMainWindow(pid));
        return found;
    }

    // Managed client windows, top-most first.
    virtual QList<TopLevel> topLevelWindows() = 0;

    // Keeps one of our own windows above all others, or not.
    virtual void setTopMost(QWidget *window, bool onTop) = 0;
};

} // namespace platform
