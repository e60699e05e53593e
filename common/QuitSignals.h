#pragma once

#include <functional>

// SIGTERM, SIGHUP and SIGINT (log-out, kill, Ctrl+C) turned into an ordinary
// call on the event loop, so a program can end in its own orderly way.
namespace QuitSignals {

// Needs a running Q(Core)Application. The callback runs once per signal.
bool install(std::function<void(int signal)> onSignal);

} // namespace QuitSignals
