#pragma once

#include <QString>

// The per-user autostart entry that starts the shell at log-in:
// $XDG_CONFIG_HOME/autostart/Brindle.desktop (~/.config when unset). Turning
// it off keeps the entry, marked hidden, rather than deleting it.
namespace Autostart {

QString EntryPath();
// The Exec line that starts this shell: the program in the program folder.
QString ShellCommand();

// True when the entry exists, is not hidden and starts this shell (its Exec
// compared without regard to letter case).
bool IsOn();
// Writes the entry, hidden when off. False (with the reason) when it could
// not be written.
bool Set(bool on, QString *error = nullptr);

} // namespace Autostart
