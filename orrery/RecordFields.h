#pragma once

#include "SysInfoRecords.h"
#include "WmiObject.h"

#include <QStringList>
#include <QVariant>

namespace orrery {

// The fields of ProcessInfo in their order, by the property names they hold
// (the field names without "p_"); indexes 0 to 46.
int processFieldCount();
QString processFieldName(int index); // empty outside 0..46
// The field's value in a variant of the field's type; invalid outside 0..46.
QVariant processField(const ProcessInfo &info, int index);
// Fills every field from the property of the same name, converted to the
// field's type; a value that does not convert leaves the field empty.
ProcessInfo processInfoFrom(const WmiObject &properties);

// The fields of DriveInfo (names without "di_").
QStringList driveFieldNames();
DriveInfo driveInfoFrom(const WmiObject &properties);

} // namespace orrery
