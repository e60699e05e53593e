#pragma once

#include <QString>

// Memory figures of this computer for the captions and the information bar.
class SystemInformation
{
public:
    explicit SystemInformation(const QString &memInfoPath = QStringLiteral("/proc/meminfo"));

    // The share of memory in use in percent (0-100): total memory less the
    // memory available to new programs without swapping. -1 when it cannot be read.
    int MemoryLoad() const;

private:
    QString m_memInfoPath;
};
