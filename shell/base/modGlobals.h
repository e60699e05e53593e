#pragma once

#include "data/VbError.h"
#include "data/ParentFile.h"
#include "data/SettingsRecord.h"

#include <QString>

#include <optional>

// The process-wide state of the shell. Everything here is one visible place;
// tests put it back with Reset().
namespace modGlobals {

inline const QString AppTitle = QStringLiteral("Brindle");

extern SettingsRecord SS;
// The install's parent.ini, read with the data files.
extern ParentFile Install;
extern bool DebugMode;
extern bool MarkerCheckOff;        // "/mi"
extern QString CommandLine;        // the whole command line, for the switch search
extern bool LoadScreenVisible;
extern qint32 TimeLeftSeconds;

// The error that stopped the last LoadDataFiles, if any.
extern std::optional<VbError> DataFileError;

// Puts every value above back to its start state.
void Reset();

// The program folder, ending in "/". Tests may point it elsewhere.
QString AppPath();
void SetAppPath(const QString &folder);

// True when the command line contains the switch, ignoring case, anywhere.
bool HasSwitch(const QString &commandLine, const QString &name);

// Appends one time-stamped line to startup.log; errors are swallowed.
void WriteLog(const QString &message);
QString LogTimestamp();

bool FileExists(const QString &path);

} // namespace modGlobals
