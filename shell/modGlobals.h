#pragma once

#include "VbError.h"
#include "data/SettingsRecord.h"

#include <QString>

#include <optional>

class frmMenu;

// The process-wide state of the shell and its entry routine. Everything here
// is one visible place; tests put it back with Reset().
namespace modGlobals {

inline const QString AppTitle = QStringLiteral("Brindle");

extern SettingsRecord SS;
extern bool DebugMode;
extern bool MarkerCheckOff;        // "/mi"
extern QString CommandLine;        // the whole command line, for the switch search
extern bool LoadScreenVisible;
extern qint32 TimeLeftSeconds;
extern frmMenu *MainForm;

// The error that stopped the last LoadDataFiles, if any.
extern std::optional<VbError> DataFileError;

// Results of the password and time-expired dialogs.
extern bool ExpiredDialogOpen;
extern QString ExpiredPasswordText;
extern bool ExpiredShutdownChosen;
extern bool PasswordDialogOpen;
extern QString PasswordDialogText;
extern bool PasswordDialogOK;
extern QString PasswordDialogTitle;

// The not-responding dialog's texts and result.
extern QString DlgCaption;
extern QString DlgQuestion;
extern qint32 DlgResult;

extern qint32 EditButtonIndex;

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

// Loads settings.dat into SS, then spc_keys.dat.
void LoadDataFiles();

// The process entry: returns the exit code once the event loop has ended.
int Main(int argc, char **argv);

} // namespace modGlobals
