#pragma once

#include <QFile>
#include <QFileInfo>

#include <csignal>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <unistd.h>

// What is done to one file, as inotify sees it: opens (every read) and
// renames onto it (every whole rewrite), counted since the last look.
// Closes are watched only so that inotify does not merge two opens in a row.
class FileEvents
{
public:
    explicit FileEvents(const QString &path)
        : m_name(QFile::encodeName(QFileInfo(path).fileName()))
        , m_fd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        ::inotify_add_watch(m_fd, QFile::encodeName(QFileInfo(path).absolutePath()).constData(), IN_OPEN | IN_CLOSE | IN_MOVED_TO);
    }
    ~FileEvents() { ::close(m_fd); }

    int opens() { return take(IN_OPEN); }
    int rewrites() { return take(IN_MOVED_TO); }

private:
    int take(uint32_t kind)
    {
        alignas(inotify_event) char buffer[8192];
        for (ssize_t n; (n = ::read(m_fd, buffer, sizeof buffer)) > 0;) {
            for (const char *p = buffer; p < buffer + n;) {
                const auto *event = reinterpret_cast<const inotify_event *>(p);
                if (event->len > 0 && m_name == event->name && (event->mask & (IN_OPEN | IN_MOVED_TO)))
                    (event->mask & IN_OPEN ? m_opens : m_rewrites) += 1;
                p += sizeof(inotify_event) + event->len;
            }
        }
        return std::exchange(kind == IN_OPEN ? m_opens : m_rewrites, 0);
    }

    QByteArray m_name;
    int m_fd;
    int m_opens = 0;
    int m_rewrites = 0;
};

// While this lives no file of the process grows past the limit, as on a disk
// that fills up: a write past it fails, for root too.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        std::signal(SIGXFSZ, SIG_IGN);
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &m_old); }

private:
    rlimit m_old{};
};
