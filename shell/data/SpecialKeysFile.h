#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// One entry of the special-key table.
struct SpecialKey {
    qint32 KeyCode = 0; // Windows virtual-key code
    QString Name;

    bool operator==(const SpecialKey &) const = default;
};

// The file spc_keys.dat: one "code,name" line per entry, Windows-1252, CR LF.
namespace SpecialKeysFile {

QList<SpecialKey> Parse(const QByteArray &bytes);
QByteArray Format(const QList<SpecialKey> &keys);

// Writes a table to a file atomically, readable by its owner only (0600);
// false (and the reason) on failure.
bool Write(const QString &path, const QList<SpecialKey> &keys, QString *error = nullptr);

} // namespace SpecialKeysFile
