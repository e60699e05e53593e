#pragma once

#include "WmiObject.h"
#include "Wql.h"

#include <QList>

#include <sys/types.h>

namespace orrery {

// A running process as a Win32_Process object, with the user id that owns it.
struct ProcessEntry
{
    WmiObject properties;
    uid_t owner = 0;
};

// The processes of /proc that meet the query; only process onlyPid when that
// is not -1. Processes that end while they are read are left out; values that
// this user may not read (other users' open files and I/O counts) stay null.
QList<ProcessEntry> readProcesses(const WqlQuery &query, qint64 onlyPid = -1);

} // namespace orrery
