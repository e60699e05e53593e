#pragma once

#include <QString>

#include <functional>

// The two keyboard hooks of the shell. The first swallows the window-switching
// keys and the special-key table (modKeys) in every program; the second, the
// typing monitor, hears every key typed anywhere and never swallows.
namespace modKeyHandler {

// True while the first hook's key grabs are in place.
extern bool KeyHandlerHook;
// True while the typing monitor runs.
extern bool TypingHook;

// Installs the first hook with the keys of modKeys::SpecialKeys, or removes it
// and empties that table. Installing or removing twice does nothing. Keys that
// another program holds are written to the start-up log and skipped.
void HookKeyHandler(bool install);

// Gives the desktop back: the panel and the desktop shown, the first hook
// removed. With logSteps each step is written to the start-up log first.
void GiveBackShell(bool logSteps);

// Takes the table's current keys into the installed hook at once (after a
// capture or "Clear list"); nothing when the hook is not installed.
void ApplySpecialKeys();

// Starts the typing monitor; every key reaches onKey as a token
// ("<backspace>", "<tab>", "<enter>", "<space>", "<delete>", "<pause>"), the
// typed character, or "<Key:NAME>" for keys that type nothing. Starting twice
// does nothing. False when no monitor could be started.
bool StartTypingHook(std::function<void(const QString &key)> onKey);
void StopTypingHook();

} // namespace modKeyHandler
