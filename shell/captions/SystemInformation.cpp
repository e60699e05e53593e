#include "SystemInformation.h"

#include <QFile>

namespace {

// A "Key:   123 kB" value of the memory information; -1 when it is missing.
qint64 memInfoValue(const QByteArray &text, const QByteArray &key)
{
    for (const QByteArray &line : text.split('\n')) {
        if (line.startsWith(key) && line.size() > key.size() && line[key.size()] == ':') {
            bool ok = false;
            const qint64 value = line.mid(key.size() + 1).simplified().split(' ').value(0).toLongLong(&ok);
            return ok ? value : -1;
        }
    }
    return -1;
}

} // namespace

SystemInformation::SystemInformation(const QString &memInfoPath)
    : m_memInfoPath(memInfoPath)
{
}

int SystemInformation::MemoryLoad() const
{
    QFile file(m_memInfoPath);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = file.readAll();
    const qint64 total = memInfoValue(text, "MemTotal"), available = memInfoValue(text, "MemAvailable");
    if (total <= 0 || available < 0 || available > total)
        return -1;
    return int(100 * (total - available) / total);
}
