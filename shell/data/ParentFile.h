#pragma once

#include "PasswordKey.h"

#include <QMap>
#include <QString>

// parent.ini in the program folder: written by the install as root, only read
// by the shell. It holds the key of the install's parent password and the
// install's play-time values, the parent's safety net when the child's own
// files (settings.dat, the settings store) are deleted, emptied or broken.
//
//   [Parent]                      [TimeLimit]
//   Salt=<hex>                    PlayTime=6
//   Iterations=100000             WarnTime=9
//   Key=<hex, 32 bytes>           ...
struct ParentFile
{
    // Null when the install set no password or the file holds no valid key.
    PasswordKey password;
    // Keys of the store's section "TimeLimit", as the install wrote them.
    QMap<QString, QString> timeLimit;

    // A missing, oversized or unreadable file gives an empty record.
    static ParentFile Load(const QString &path);
    // Replaces the file as a whole; false and the reason when it cannot. A
    // null password writes no section "Parent".
    bool Save(const QString &path, QString *error = nullptr) const;
};
