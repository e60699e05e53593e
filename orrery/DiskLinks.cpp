#include "DiskLinks.h"

#include <QDir>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orrery {

namespace {

// Device links name the same device when their targets are the same block
// device, or (for devices that are not there, such as in a made-up table)
// the same path.
bool sameDevice(const QString &path, const MountedDrive &drive)
{
    struct stat info{};
    if (::stat(QFile::encodeName(path).constData(), &info) == 0 && S_ISBLK(info.st_mode))
        return info.st_rdev == drive.deviceNumber;
    const QString device = QFileInfo(drive.device).canonicalFilePath();
    return QDir::cleanPath(path) == (device.isEmpty() ? QDir::cleanPath(drive.device) : device);
}

// The name of the first link in folder that leads to the drive's device.
QString linkName(const QString &folder, const MountedDrive &drive)
{
    const QDir dir(folder);
    for (const QString &name : dir.entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString target = QFileInfo(dir.filePath(name)).symLinkTarget();
        if (!target.isEmpty() && sameDevice(target, drive))
            return name;
    }
    return {};
}

// udev writes unsafe characters of labels as "\xNN".
QString decodeLinkName(const QString &name)
{
    QByteArray bytes = name.toLocal8Bit(), out;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        bool ok = false;
        if (bytes[i] == '\\' && i + 3 < bytes.size() && bytes[i + 1] == 'x') {
            const int code = bytes.mid(i + 2, 2).toInt(&ok, 16);
            if (ok) {
                out.append(char(code));
                i += 3;
                continue;
            }
        }
        out.append(bytes[i]);
    }
    return QString::fromLocal8Bit(out);
}

// The UUID of an ext2/3/4 file system from its superblock.
QString superblockUuid(const QString &device)
{
    const int fd = ::open(QFile::encodeName(device).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return {};
    unsigned char block[0x78] = {};
    const bool read = ::pread(fd, block, sizeof block, 1024) == ssize_t(sizeof block);
    ::close(fd);
    if (!read || block[0x38] != 0x53 || block[0x39] != 0xEF) // the ext magic number
        return {};
    const QByteArray hex = QByteArray(reinterpret_cast<const char *>(block + 0x68), 16).toHex();
    return QString::fromLatin1(hex.left(8) + '-' + hex.mid(8, 4) + '-' + hex.mid(12, 4) + '-' + hex.mid(16, 4)
                               + '-' + hex.mid(20));
}

} // namespace

VolumeNames volumeNames(const QString &linksFolder, const MountedDrive &drive)
{
    VolumeNames names;
    names.uuid = linkName(linksFolder + QStringLiteral("/by-uuid"), drive);
    if (names.uuid.isEmpty())
        names.uuid = superblockUuid(drive.device);
    names.label = decodeLinkName(linkName(linksFolder + QStringLiteral("/by-label"), drive));
    return names;
}

quint32 serialFromUuid(const QString &uuid)
{
    QString hex = uuid;
    hex.remove(u'-');
    bool ok = false;
    const quint32 serial = hex.left(8).toUInt(&ok, 16);
    return ok && hex.size() >= 8 ? serial : 0;
}

} // namespace orrery
