#pragma once

#include "../Media.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <memory>

class QSocketNotifier;

namespace platform::linuxsvc {

// Media inserted and removed, seen as the mount table changing: the kernel
// flags /proc/self/mountinfo (POLLPRI) whenever a mount comes or goes.
class MountWatch : public QObject, public Media
{
public:
    struct Mount {
        QString id;         // mount id, device and mount point: one mount
        QString mountPoint; // as the table shows it (octal escapes decoded)
        bool operator==(const Mount &) const = default;
    };
    struct Change {
        Event event;
        QString mountPoint;
        bool operator==(const Change &) const = default;
    };

    explicit MountWatch(QString tablePath = QStringLiteral("/proc/self/mountinfo"));
    ~MountWatch() override;

    bool watch(std::function<void(Event)> onChange) override;
    void unwatch() override;

    // Reads the table again and reports what changed since the last look.
    void rescan();

    static QList<Mount> parse(const QByteArray &mountinfo);
    // Vanished mounts first, then new ones, each in table order.
    static QList<Change> diff(const QList<Mount> &before, const QList<Mount> &after);

private:
    QByteArray readTable();

    QString m_path;
    int m_fd = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
    QList<Mount> m_mounts;
    std::function<void(Event)> m_onChange;
};

} // namespace platform::linuxsvc
