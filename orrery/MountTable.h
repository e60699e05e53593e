#pragma once

#include <QByteArray>
#include <QChar>
#include <QList>
#include <QString>

#include <sys/types.h>

namespace orrery {

// A mounted file system that has a drive letter.
struct MountedDrive
{
    QChar letter;
    QString device;    // the mount source, "/dev/sda1"
    dev_t deviceNumber = 0;
    QString mountPoint;
    QString fileSystem;
    bool readOnly = false;
};

// Drive letters for a mount table in the mountinfo form: C for the root file
// system, D onwards for the other file systems on block devices, in table
// order. A device gets one letter however often it is mounted, and only mounts
// of a whole file system count (bind mounts of a folder or file do not).
QList<MountedDrive> mapDrives(const QByteArray &mountInfo);

// The drive of a letter (letter case free); false when it has none.
bool findDrive(const QList<MountedDrive> &drives, QChar letter, MountedDrive &drive);

} // namespace orrery
