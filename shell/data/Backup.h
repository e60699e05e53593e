#pragma once

#include "data/VbError.h"
#include "data/SettingsRecord.h"
#include "data/SpecialKeysFile.h"

#include <QList>
#include <QString>

#include <optional>

// Numbered backup pairs written while the menu is edited, and the marker "_!"
// that tells the next start that an edit did not end with an orderly quit.
// Every appPath ends in "/".
namespace Backup {

// The number as at least four digits: "0001", ..., "9999", "10000".
QString NumberText(int n);

// "backup/NNNN_spc_keys.dat" and "backup/NNNN_settings.dat" below appPath.
QString KeysFileName(const QString &appPath, int n);
QString SettingsFileName(const QString &appPath, int n);

// The first n from 1 whose keys file does not exist, so gaps are filled first
// and a leftover keys file alone still takes its number.
int NextBackupNumber(const QString &appPath);

// Writes the next pair, the keys file first. Creates the backup folder when
// it is missing. `number`, when given, receives the number used.
std::optional<VbError> WriteBackup(const QString &appPath, const SettingsRecord &record,
                                   const QList<SpecialKey> &keys,
                                   int *number = nullptr);

// Deletes every backup/*.dat; false when one stays.
bool CleanBackup(const QString &appPath);

// "_!" holding the line "!".
QString MarkerPath(const QString &appPath);
std::optional<VbError> WriteMarker(const QString &appPath);
// Clears a read-only flag, then deletes; false when the marker stays.
bool RemoveMarker(const QString &appPath);
bool MarkerExists(const QString &appPath);

} // namespace Backup
