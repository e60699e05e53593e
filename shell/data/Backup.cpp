#include "data/Backup.h"

#include "data/SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace Backup {

QString NumberText(int n)
{
    return QString::number(n).rightJustified(4, QLatin1Char('0'));
}

QString KeysFileName(const QString &appPath, int n)
{
    return appPath + QStringLiteral("backup/") + NumberText(n) + QStringLiteral("_spc_keys.dat");
}

QString SettingsFileName(const QString &appPath, int n)
{
    return appPath + QStringLiteral("backup/") + NumberText(n) + QStringLiteral("_settings.dat");
}

int NextBackupNumber(const QString &appPath)
{
    int n = 1;
    while (QFileInfo::exists(KeysFileName(appPath, n)))
        ++n;
    return n;
}

std::optional<VbError> WriteBackup(const QString &appPath, const SettingsRecord &record,
                                   const QList<SpecialKey> &keys, int *number)
{
    QDir().mkpath(appPath + QStringLiteral("backup"));
    const int n = NextBackupNumber(appPath);
    if (number)
        *number = n;
    // Unlike the live save, a failed keys file is reported: the pair would be
    // incomplete and its number reused by the next backup.
    if (auto error = SettingsFile::WriteWholeFile(KeysFileName(appPath, n),
                                                  SpecialKeysFile::Format(keys)))
        return error;
    return SettingsFile::SaveFile(SettingsFileName(appPath, n), record);
}

bool CleanBackup(const QString &appPath)
{
    QDir folder(appPath + QStringLiteral("backup"));
    const QStringList names = folder.entryList({QStringLiteral("*.dat")},
                                               QDir::Files | QDir::Hidden | QDir::System);
    bool all = true;
    for (const QString &name : names)
        all = folder.remove(name) && all;
    return all;
}

QString MarkerPath(const QString &appPath)
{
    return appPath + QStringLiteral("_!");
}

std::optional<VbError> WriteMarker(const QString &appPath)
{
    return SettingsFile::WriteWholeFile(MarkerPath(appPath), QByteArrayLiteral("!\r\n"));
}

bool RemoveMarker(const QString &appPath)
{
    const QString path = MarkerPath(appPath);
    QFile::setPermissions(path, QFile::permissions(path) | QFile::WriteOwner);
    return QFile::remove(path) || !QFileInfo::exists(path);
}

bool MarkerExists(const QString &appPath)
{
    return QFileInfo::exists(MarkerPath(appPath));
}

} // namespace Backup
