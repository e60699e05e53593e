#include "LogicalDisks.h"

#include "DiskLinks.h"
#include "LocalNames.h"
#include "MountTable.h"

#include <QFile>
#include <QFileInfo>

#include <sys/statvfs.h>
#include <sys/sysmacros.h>

namespace orrery {

namespace {

enum DriveType { RemovableDisk = 2, LocalDisk = 3, CompactDisc = 5 };

// Whether the block device (or the disk a partition belongs to) says it is removable.
bool isRemovable(dev_t device)
{
    const QString sysPath = QStringLiteral("/sys/dev/block/%1:%2").arg(major(device)).arg(minor(device));
    const QString real = QFileInfo(sysPath).canonicalFilePath();
    if (real.isEmpty())
        return false;
    for (const QString &dir : {real, real.section(u'/', 0, -2)}) {
        QFile flag(dir + QStringLiteral("/removable"));
        if (flag.open(QIODevice::ReadOnly))
            return flag.readAll().trimmed() == "1";
    }
    return false;
}

WmiObject mountProperties(const MountedDrive &drive, const QString &host)
{
    const QString id = QString(drive.letter) + u':';
    const bool disc = drive.fileSystem == QLatin1String("iso9660") || drive.fileSystem == QLatin1String("udf");
    const DriveType type = disc ? CompactDisc : (isRemovable(drive.deviceNumber) ? RemovableDisk : LocalDisk);
    WmiObject disk;
    disk.set(QStringLiteral("Access"), drive.readOnly ? 1 : 3);
    disk.set(QStringLiteral("Caption"), id);
    disk.set(QStringLiteral("Compressed"), false);
    disk.set(QStringLiteral("CreationClassName"), QStringLiteral("Win32_LogicalDisk"));
    disk.set(QStringLiteral("Description"), type == LocalDisk      ? QStringLiteral("Local Fixed Disk")
                                            : type == CompactDisc ? QStringLiteral("CD-ROM Disc")
                                                                  : QStringLiteral("Removable Disk"));
    disk.set(QStringLiteral("DeviceID"), id);
    disk.set(QStringLiteral("DriveType"), int(type));
    disk.set(QStringLiteral("FileSystem"), drive.fileSystem);
    disk.set(QStringLiteral("MediaType"), type == LocalDisk ? 12 : 11);
    disk.set(QStringLiteral("Name"), id);
    disk.set(QStringLiteral("SupportsDiskQuotas"), false);
    disk.set(QStringLiteral("SupportsFileBasedCompression"), false);
    disk.set(QStringLiteral("SystemCreationClassName"), QStringLiteral("Win32_ComputerSystem"));
    disk.set(QStringLiteral("SystemName"), host);
    return disk;
}

void addVolumeProperties(WmiObject &disk, const MountedDrive &drive, const QString &linksFolder)
{
    struct statvfs fs{};
    if (::statvfs(QFile::encodeName(drive.mountPoint).constData(), &fs) == 0) {
        const double unit = double(fs.f_frsize);
        disk.set(QStringLiteral("BlockSize"), unit);
        disk.set(QStringLiteral("NumberOfBlocks"), double(fs.f_blocks));
        disk.set(QStringLiteral("Size"), double(fs.f_blocks) * unit);
        disk.set(QStringLiteral("FreeSpace"), double(fs.f_bavail) * unit); // what a user may still write
        disk.set(QStringLiteral("MaximumComponentLength"), qint64(fs.f_namemax));
    }
    const VolumeNames names = volumeNames(linksFolder, drive);
    if (!names.uuid.isEmpty())
        disk.set(QStringLiteral("VolumeSerialNumber"),
                 QStringLiteral("%1").arg(serialFromUuid(names.uuid), 8, 16, QLatin1Char('0')).toUpper());
    if (!names.label.isEmpty())
        disk.set(QStringLiteral("VolumeName"), names.label);
}

bool asksAboutVolume(const WqlQuery &query)
{
    static const QStringList volumeProperties = {"BlockSize", "NumberOfBlocks", "Size", "FreeSpace",
                                                 "MaximumComponentLength", "VolumeSerialNumber", "VolumeName"};
    for (const QString &name : query.properties()) {
        if (volumeProperties.contains(name, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

} // namespace

QList<WmiObject> readLogicalDisks(const QString &mountTable, const QString &linksFolder, const WqlQuery &query)
{
    QList<WmiObject> result;
    QFile table(mountTable);
    if (!query.isValid() || !table.open(QIODevice::ReadOnly))
        return result;
    const QString host = hostName();
    const bool volumeFirst = asksAboutVolume(query);
    for (const MountedDrive &drive : mapDrives(table.readAll())) {
        WmiObject disk = mountProperties(drive, host);
        if (volumeFirst)
            addVolumeProperties(disk, drive, linksFolder);
        if (!query.matches(disk))
            continue;
        if (!volumeFirst)
            addVolumeProperties(disk, drive, linksFolder);
        result.append(disk);
    }
    return result;
}

} // namespace orrery
