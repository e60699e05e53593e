#include "MountTable.h"

#include <sys/sysmacros.h>

namespace orrery {

namespace {

// Blanks and backslashes of paths are written as octal escapes ("\040").
QString unescape(const QByteArray &field)
{
    QByteArray out;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            bool ok = false;
            const int code = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok && code < 256) {
                out.append(char(code));
                i += 3;
                continue;
            }
        }
        out.append(field[i]);
    }
    return QString::fromLocal8Bit(out);
}

bool parseLine(const QByteArray &line, MountedDrive &mount, QString &root)
{
    const QList<QByteArray> f = line.split(' ');
    const qsizetype separator = f.indexOf("-");
    if (f.size() < 6 || separator < 6 || separator + 2 >= f.size())
        return false;
    const QList<QByteArray> numbers = f[2].split(':');
    if (numbers.size() != 2)
        return false;
    mount.deviceNumber = makedev(numbers[0].toUInt(), numbers[1].toUInt());
    root = unescape(f[3]);
    mount.mountPoint = unescape(f[4]);
    mount.readOnly = f[5].split(',').contains("ro");
    mount.fileSystem = unescape(f[separator + 1]);
    mount.device = unescape(f[separator + 2]);
    return true;
}

} // namespace

QList<MountedDrive> mapDrives(const QByteArray &mountInfo)
{
    QList<MountedDrive> mounts;
    MountedDrive rootDrive;
    bool haveRoot = false;
    for (const QByteArray &line : mountInfo.split('\n')) {
        MountedDrive mount;
        QString root;
        if (!parseLine(line.trimmed(), mount, root))
            continue;
        if (mount.mountPoint == QLatin1String("/")) {
            rootDrive = mount; // a later mount on "/" covers the earlier ones
            haveRoot = true;
        } else if (root == QLatin1String("/") && mount.device.startsWith(QLatin1String("/dev/"))) {
            mounts.append(mount);
        }
    }

    QList<MountedDrive> drives;
    QStringList taken;
    char letter = 'C';
    if (haveRoot) {
        rootDrive.letter = QLatin1Char(letter++);
        drives.append(rootDrive);
        taken.append(rootDrive.device);
    }
    for (MountedDrive &mount : mounts) {
        if (letter > 'Z')
            break;
        if (taken.contains(mount.device))
            continue;
        taken.append(mount.device);
        mount.letter = QLatin1Char(letter++);
        drives.append(mount);
    }
    return drives;
}

bool findDrive(const QList<MountedDrive> &drives, QChar letter, MountedDrive &drive)
{
    for (const MountedDrive &candidate : drives) {
        if (candidate.letter == letter.toUpper()) {
            drive = candidate;
            return true;
        }
    }
    return false;
}

} // namespace orrery
