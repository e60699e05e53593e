#include "clsCPUUsageNT.h"

#include <QFile>

#include <cmath>

clsCPUUsageNT::clsCPUUsageNT(const QString &statPath)
    : m_statPath(statPath)
{
    readSample(m_idle, m_total);
}

clsCPUUsageNT::~clsCPUUsageNT() = default;

// The "cpu" line sums all processors in clock ticks: user, nice, system,
// idle, iowait, irq, softirq, steal (guest time is part of user already).
// Waiting for the disk counts as idle.
bool clsCPUUsageNT::readSample(quint64 &idle, quint64 &total) const
{
    QFile file(m_statPath);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = file.readLine().simplified();
    const QList<QByteArray> fields = line.split(' ');
    if (fields.size() < 5 || fields[0] != "cpu")
        return false;
    quint64 ticks[8] = {};
    for (int i = 0; i < 8 && i + 1 < fields.size(); ++i) {
        bool ok = false;
        ticks[i] = fields[i + 1].toULongLong(&ok);
        if (!ok)
            return false;
    }
    idle = ticks[3] + ticks[4];
    total = 0;
    for (quint64 t : ticks)
        total += t;
    return true;
}

qint32 clsCPUUsageNT::Query()
{
    quint64 idle = 0, total = 0;
    if (!readSample(idle, total))
        return -1;
    // Counters that stood still or went back (a new kernel file, a restore)
    // say nothing about the load: keep the last answer and start afresh.
    if (total > m_total) {
        const double idleShare = (double(idle) - double(m_idle)) / double(total - m_total);
        m_load = qint32(qBound(0.0, std::floor(100.0 - idleShare * 100.0 + 0.5), 100.0));
    }
    m_idle = idle;
    m_total = total;
    return m_load;
}
