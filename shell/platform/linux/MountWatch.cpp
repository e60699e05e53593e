#include "MountWatch.h"

#include "LinuxServices.h"

#include <QFile>
#include <QSet>
#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>

namespace platform::linuxsvc {
namespace {

// mountinfo writes blanks, tabs, newlines and backslashes as \ooo.
QString unescape(const QByteArray &field)
{
    QByteArray out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const QByteArray digits = field.mid(i + 1, 3);
            bool ok = false;
            const int value = digits.toInt(&ok, 8);
            if (ok && digits.size() == 3) {
                out.append(char(value));
                i += 3;
                continue;
            }
        }
        out.append(field[i]);
    }
    return QString::fromUtf8(out);
}

} // namespace

MountWatch::MountWatch(QString tablePath)
    : m_path(std::move(tablePath))
{
}

MountWatch::~MountWatch()
{
    unwatch();
}

QList<MountWatch::Mount> MountWatch::parse(const QByteArray &mountinfo)
{
    // "36 35 98:0 /mnt1 /mnt/parent rw,noatime master:1 - ext3 /dev/root rw"
    QList<Mount> mounts;
    for (const QByteArray &line : mountinfo.split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 5)
            continue;
        bool ok = false;
        fields[0].toLongLong(&ok);
        if (!ok)
            continue;
        const QString point = unescape(fields[4]);
        mounts.append({QString::fromLatin1(fields[0] + ' ' + fields[2] + ' ') + point, point});
    }
    return mounts;
}

QList<MountWatch::Change> MountWatch::diff(const QList<Mount> &before, const QList<Mount> &after)
{
    QSet<QString> oldIds, newIds;
    for (const Mount &m : before)
        oldIds.insert(m.id);
    for (const Mount &m : after)
        newIds.insert(m.id);
    QList<Change> changes;
    for (const Mount &m : before) {
        if (!newIds.contains(m.id))
            changes.append({Removed, m.mountPoint});
    }
    for (const Mount &m : after) {
        if (!oldIds.contains(m.id))
            changes.append({Inserted, m.mountPoint});
    }
    return changes;
}

QByteArray MountWatch::readTable()
{
    QByteArray data;
    if (m_fd < 0 || lseek(m_fd, 0, SEEK_SET) < 0)
        return data;
    char buffer[16384];
    for (;;) {
        const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        data.append(buffer, n);
    }
    return data;
}

bool MountWatch::watch(std::function<void(Event)> onChange)
{
    unwatch();
    m_fd = ::open(QFile::encodeName(m_path).constData(), O_RDONLY | O_CLOEXEC);
    if (m_fd < 0)
        return false;
    m_mounts = parse(readTable());
    m_onChange = std::move(onChange);
    m_notifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Exception);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &MountWatch::rescan);
    return true;
}

void MountWatch::unwatch()
{
    m_notifier.reset();
    m_onChange = nullptr;
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    m_mounts.clear();
}

void MountWatch::rescan()
{
    if (m_fd < 0)
        return;
    QList<Mount> now = parse(readTable());
    const QList<Change> changes = diff(m_mounts, now);
    m_mounts = std::move(now);
    for (const Change &c : changes) {
        if (!m_onChange)
            break; // the receiver stopped watching
        auto report = m_onChange;
        report(c.event);
    }
}

std::unique_ptr<Media> createMedia()
{
    return std::make_unique<MountWatch>();
}

} // namespace platform::linuxsvc
