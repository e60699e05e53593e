#pragma once

#include "data/VbError.h"
#include "data/SettingsRecord.h"

#include <QByteArray>
#include <QString>

#include <optional>

// settings.dat: one SettingsRecord, fields back to back, little-endian, texts
// as u16 length + Windows-1252 bytes, lists as u16 dimensions (0 absent,
// 1 present) + u32 count + i32 lowest index + the elements.
namespace SettingsFile {

// Smallest encoded size of one BUTTON (every text empty, ExtraStrings absent).
constexpr qsizetype MinButtonBytes = 97;

// Reads the record from the start of the bytes into `record` field by field.
// On an error the fields read so far stay and the rest keep the values they
// had (callers start from an empty record). Errors: 62 "Input past end of
// file" when the bytes run out (also for a count or length the rest of the
// data cannot hold, checked before anything is allocated), 59 "Bad record
// length" for a list header that cannot be valid. Bytes after the record are
// ignored; `consumed`, when given, receives the record's size.
std::optional<VbError> Read(const QByteArray &bytes, SettingsRecord &record,
                            qsizetype *consumed = nullptr);

// The exact bytes of the record. Texts longer than 65535 bytes are cut to
// 65535 so the file stays readable.
QByteArray Write(const SettingsRecord &record);

// Replaces `record` with the content of the file. A missing or empty file is
// no error: the record is left empty and `missingOrEmpty` (when given) is set,
// so the caller can start from MakeClearState. Errors of the read itself as
// for Read; 70/75 when the file exists but cannot be read.
std::optional<VbError> LoadFile(const QString &path, SettingsRecord &record,
                                bool *missingOrEmpty = nullptr);

// Writes the record through a temporary file renamed over the old one: the
// old file is never deleted first, and a read-only one is replaced too. The
// file is readable by its owner only (mode 0600), whatever it was before.
std::optional<VbError> SaveFile(const QString &path, const SettingsRecord &record);

// Writes bytes the same way (also 0600) and turns a failure into the error a user sees
// (76 "Path not found", 70 "Permission denied", 75 "Path/File access error").
std::optional<VbError> WriteWholeFile(const QString &path, const QByteArray &bytes);

// What the parent is shown when settings.dat cannot be read.
QString ReadErrorMessage(const VbError &error);

// The state of a fresh or "-clear"-ed configuration: both button lists exist
// with one empty element and upper bounds -1, six empty shell commands,
// Tahoma 8, snapping on a 30-pixel grid, and friendly values for the rest.
void MakeClearState(SettingsRecord &record);

} // namespace SettingsFile
