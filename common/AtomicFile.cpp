#include "AtomicFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace AtomicFile {

bool write(const QString &path, const QByteArray &data, QString *error)
{
    // A read-only flag must not block the save: clear it first, as the user
    // expects the file to be replaced. It is put back only when saving fails.
    const QFileInfo info(path);
    const QFile::Permissions oldMode = info.exists() ? info.permissions() : QFile::Permissions();
    const bool clearedReadOnly = info.exists() && !(oldMode & QFile::WriteOwner);
    if (clearedReadOnly)
        QFile::setPermissions(path, oldMode | QFile::WriteOwner);

    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    bool ok = file.open(QIODevice::WriteOnly);
    if (ok)
        ok = file.write(data) == data.size();
    // The text may still sit in the buffer; commit() would not notice it
    // failing to reach the disk (a full disk) and put an empty file in place.
    if (ok)
        ok = file.flush();
    if (ok)
        ok = file.commit();
    else
        file.cancelWriting();
    if (!ok) {
        if (error)
            *error = file.errorString();
        if (clearedReadOnly)
            QFile::setPermissions(path, oldMode);
    }
    return ok;
}

} // namespace AtomicFile
