#pragma once

#include <QStringList>

// The ten most recently used hosts, newest first, in the store of
// application "Farrow", section "Computers", keys "C01" to "C10".
namespace RememberedHosts {

constexpr int Count = 10;

// The stored hosts up to the first empty entry.
QStringList Load();

// Moves the host to the front: an equal entry further down goes, or else
// the oldest one, in one write. An empty host changes nothing. False (the
// list unchanged, the reason in error) when the store cannot be written.
bool Add(const QString &host, QString *error = nullptr);

} // namespace RememberedHosts
