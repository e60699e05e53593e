#pragma once

// The shell's entry routine and what it loads first. Declared apart from the
// state block, because they reach into every part of the shell.
namespace modGlobals {

// Loads settings.dat into SS, then spc_keys.dat.
void LoadDataFiles();

// The process entry: returns the exit code once the event loop has ended.
int Main(int argc, char **argv);

} // namespace modGlobals
