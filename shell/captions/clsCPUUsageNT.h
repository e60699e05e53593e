#pragma once

#include <QString>

// The processor load of the whole computer, measured between calls from the
// counters of the kernel's statistics file. The first Query measures from
// the object's creation.
class clsCPUUsageNT
{
public:
    explicit clsCPUUsageNT(const QString &statPath = QStringLiteral("/proc/stat"));
    ~clsCPUUsageNT();

    // The load in percent (0-100) since the previous call; -1 when the
    // counters cannot be read. When no time has passed since then, the
    // previous answer again.
    qint32 Query();

private:
    bool readSample(quint64 &idle, quint64 &total) const;

    QString m_statPath;
    quint64 m_idle = 0;
    quint64 m_total = 0;
    qint32 m_load = 0;
};
