#pragma once

#include <QStringList>

// The ten most recently used hosts, newest first, in the store of
// application "Farrow", section "Computers", keys "C01" to "C10".
namespace RememberedHosts {

constexpr int Count = 10;

// The stored hosts up to the first empty entry.
QStringList Load();

// Moves the host to the front: an equal entry further down goes, or else
// the oldest one. An empty host changes nothing.
void Add(const QString &host);

} // namespace RememberedHosts
