#pragma once

#include <QByteArray>
#include <QString>

// Replaces a file as a whole: the data goes to a temporary file in the same
// folder which is then renamed over the target, so a crash at any moment leaves
// either the old or the new file complete; a failure at any step (a full disk)
// keeps the old file and says why. A read-only target is replaced as well
// (the new file keeps the old mode, writable by its owner, unless the caller
// asks for owner-only access).
namespace AtomicFile {

enum class Access {
    KeepMode,  // the old file's mode, or the usual one for a new file
    OwnerOnly, // 0600 whatever the old file had: for what other accounts must not read
};

bool write(const QString &path, const QByteArray &data, QString *error = nullptr,
           Access access = Access::KeepMode);

} // namespace AtomicFile
