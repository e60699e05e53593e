#pragma once

#include "data/SpecialKeysFile.h"

#include <QList>
#include <QString>

// The table of special keys that the keyboard hook swallows.
namespace modKeys {

// The table in the order the entries were added. SpecialKeyCount is its upper
// bound (-1 = empty) and always equals SpecialKeys.size() - 1 after any of the
// functions below; code that edits the list directly keeps it so.
extern QList<SpecialKey> SpecialKeys;
extern qint32 SpecialKeyCount;

// True while the capture dialog records pressed keys.
extern bool SpecialKeyCapture;

// Replaces the table with the file's entries. A missing or unreadable file
// leaves it empty.
void LoadSpecialKeys(const QString &path);

// Writes the table through a temporary file renamed over the old one; false
// (the old file kept, the reason in error) when it cannot be written.
bool SaveSpecialKeys(const QString &path, QString *error = nullptr);

// Empties the table.
void ClearSpecialKeys();

// Appends a captured key with its display name unless its code is already in
// the table; true when it was added.
bool AddCapturedKey(qint32 vk);

// The name a captured key gets: "(MS) WEB/HOME" for 172, ..., else "Unknown".
QString KeyDisplayName(qint32 vk);

// A line of the dialog's list: the code as at least three digits, " , ", the
// name ("009 , Unknown").
QString FormatListLine(const SpecialKey &entry);

} // namespace modKeys
