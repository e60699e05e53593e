#include "keys/modKeyHandler.h"

#include "keys/modKeys.h"
#include "base/modGlobals.h"
#include "platform/Services.h"

#include <QSet>

namespace modKeyHandler {

bool KeyHandlerHook = false;
bool TypingHook = false;

namespace {

QList<int> tableKeys()
{
    QList<int> keys;
    for (const SpecialKey &entry : std::as_const(modKeys::SpecialKeys)) {
        if (!keys.contains(entry.KeyCode))
            keys.append(entry.KeyCode);
    }
    return keys;
}

// Each refused combination is logged once while the hook is installed, not
// again with every change of the table.
QSet<QString> g_logged;

void logRefused()
{
    for (const QString &what : platform::Services::keyboard().refusedGrabs()) {
        if (g_logged.contains(what))
            continue;
        g_logged.insert(what);
        modGlobals::WriteLog(QStringLiteral("HookKeyHandler()::Key held by another program, not swallowed: ") + what);
    }
}

} // namespace

void HookKeyHandler(bool install)
{
    auto &keyboard = platform::Services::keyboard();
    if (install && !KeyHandlerHook) {
        // A failed installation stays silent; the keys are then not swallowed.
        KeyHandlerHook = keyboard.installKeyGrabs(tableKeys());
        logRefused();
    } else if (!install && KeyHandlerHook) {
        keyboard.removeKeyGrabs();
        modKeys::ClearSpecialKeys();
        KeyHandlerHook = false;
        g_logged.clear();
    }
}

void ApplySpecialKeys()
{
    if (!KeyHandlerHook)
        return;
    platform::Services::keyboard().installKeyGrabs(tableKeys());
    logRefused();
}

bool StartTypingHook(std::function<void(const QString &)> onKey)
{
    if (TypingHook)
        return true;
    TypingHook = platform::Services::keyboard().startTypingMonitor(std::move(onKey));
    return TypingHook;
}

void StopTypingHook()
{
    if (!TypingHook)
        return;
    platform::Services::keyboard().stopTypingMonitor();
    TypingHook = false;
}

void GiveBackShell(bool logSteps)
{
    auto log = [logSteps](const char *line) {
        if (logSteps)
            modGlobals::WriteLog(QLatin1String(line));
    };
    auto &desktop = platform::Services::desktop();
    log("Main()::Adding Taskbar");
    desktop.showTaskbar(true);
    log("Main()::Adding Desktop");
    desktop.showDesktop(true);
    log("Main()::Unhooking KeyHandler");
    HookKeyHandler(false);
}

} // namespace modKeyHandler
