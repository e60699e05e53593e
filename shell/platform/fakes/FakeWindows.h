#pragma once

#include "../Windows.h"

#include <QHash>
#include <QList>
#include <QStringList>

#include <functional>

namespace platform {

// Windows of other programs for tests: the test says which process has which
// main window, which windows answer, and what the client list holds; every
// call that acts on a window is written to calls ("focus 1001", "close 7",
// "altf4", "activate 7").
class FakeWindows : public Windows
{
public:
    QHash<Pid, WindowId> mainWindows;
    QHash<WindowId, QString> titles;
    QList<WindowId> hung;            // these leave their pings unanswered
    QList<TopLevel> clients;         // topLevelWindows()
    WindowId foreground = 0;
    QStringList calls;
    QList<WindowId> pinged;          // every ping sent
    std::function<void(WindowId)> onClose;  // runs on requestClose

    WindowId findMainWindow(Pid pid) override { return mainWindows.value(pid, 0); }
    void setAppFocus(Pid pid) override
    {
        calls.append(QStringLiteral("focus %1").arg(pid));
        const WindowId window = findMainWindow(pid);
        if (window)
            foreground = window;
    }
    void activateWindow(WindowId window) override
    {
        calls.append(QStringLiteral("activate %1").arg(window));
        if (window)
            foreground = window;
    }
    WindowId foregroundWindow() override { return foreground; }
    void requestClose(WindowId window) override
    {
        calls.append(QStringLiteral("close %1").arg(window));
        if (onClose)
            onClose(window);
    }
    void sendAltF4() override
    {
        calls.append(QStringLiteral("altf4"));
    }
    void ping(const QList<WindowId> &windows) override
    {
        for (WindowId window : windows)
            if (!pingOutstanding(window))
                pinged.append(window);
    }
    // A hung window answers once the test takes it out of hung.
    bool pingOutstanding(WindowId window) override { return hung.contains(window) && pinged.contains(window); }
    QString windowTitle(WindowId window) override { return titles.value(window); }
    QList<TopLevel> topLevelWindows() override { return clients; }
    void setTopMost(QWidget *, bool onTop) override
    {
        calls.append(onTop ? QStringLiteral("topmost") : QStringLiteral("not topmost"));
    }
};

} // namespace platform
