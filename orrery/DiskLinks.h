#pragma once

#include "MountTable.h"

#include <QString>

namespace orrery {

// The identity of a drive's file system: its UUID and label as the device
// manager publishes them as links in linksFolder ("/dev/disk/by-uuid/<uuid>",
// "/dev/disk/by-label/<label>"). Without such a link the UUID of an ext2/3/4
// file system is read from its superblock when the device may be read.
struct VolumeNames
{
    QString uuid;
    QString label;
};

VolumeNames volumeNames(const QString &linksFolder, const MountedDrive &drive);

// The volume serial number: the first 32 bits of a UUID ("1b4e28ba-2fa1-..."
// gives 0x1b4e28ba, a FAT "12AB-34CD" gives 0x12ab34cd); 0 without one.
quint32 serialFromUuid(const QString &uuid);

} // namespace orrery
