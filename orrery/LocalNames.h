#pragma once

#include <QString>

#include <sys/types.h>

namespace orrery {

// Names of this computer and its users, from local sources only (no name
// service look-ups over the network).

// The host name; empty when it cannot be read (errorNumber then holds errno).
QString hostName(int *errorNumber = nullptr);

// The account name of a user id; the id as a number when it has no account.
QString userName(uid_t uid);

// The name the session was logged in with; the effective user's name when
// the process has no login session.
QString loginName();

// The distribution's name ("Debian GNU/Linux 12 (bookworm)"), empty when unknown.
QString systemName();

// The kernel release ("6.1.0-18-amd64").
QString kernelRelease();

} // namespace orrery
