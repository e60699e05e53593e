// What the benchmarks that start the real shell share: a copy of the program
// folder, waiting for a line of its log without spinning, and what /proc says
// of a running process (its threads' processor time and wake-ups, its memory,
// the libraries it has mapped).
#pragma once

#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace bench {

inline bool copyFolder(const QString &from, const QString &to)
{
    QDir().mkpath(to);
    const QDir source(from);
    for (const QFileInfo &entry : source.entryInfoList(QDir::NoDotAndDotDot | QDir::AllEntries)) {
        const QString target = to + QLatin1Char('/') + entry.fileName();
        if (entry.isDir() ? !copyFolder(entry.filePath(), target) : !QFile::copy(entry.filePath(), target))
            return false;
    }
    return true;
}

// Waits until file holds text, sleeping on inotify (its folder: the file may
// not exist yet) between looks, so the wait takes no processor time from the
// program it waits for. False after timeoutMs.
inline bool waitForText(const QString &file, const QByteArray &text, int timeoutMs)
{
    const int fd = ::inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
    if (fd < 0)
        return false;
    const QByteArray folder = QFile::encodeName(QFileInfo(file).absolutePath());
    ::inotify_add_watch(fd, folder.constData(), IN_CREATE | IN_MODIFY | IN_CLOSE_WRITE | IN_MOVED_TO);
    QElapsedTimer clock;
    clock.start();
    bool found = false;
    for (;;) {
        QFile f(file);
        if (f.open(QIODevice::ReadOnly) && f.readAll().contains(text)) {
            found = true;
            break;
        }
        const qint64 left = timeoutMs - clock.elapsed();
        if (left <= 0)
            break;
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, int(left)) > 0) {
            char events[4096];
            while (::read(fd, events, sizeof events) > 0) {
            }
        }
    }
    ::close(fd);
    return found;
}

inline QByteArray readProc(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A line "Name:   value kB" of /proc/PID/status, as a number.
inline qint64 statusValue(const QByteArray &status, const QByteArray &name)
{
    for (const QByteArray &line : status.split('\n'))
        if (line.startsWith(name + ':'))
            return line.mid(name.size() + 1).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

inline double residentMB(qint64 pid)
{
    return statusValue(readProc(QStringLiteral("/proc/%1/status").arg(pid)), "VmRSS") / 1024.0;
}

// One thread: its name, the times it went to sleep and was woken again
// (voluntary context switches), and its processor time.
struct ThreadSample {
    QString name;
    qint64 wakeups = 0;
    qint64 preempted = 0;
    qint64 cpuNs = 0;
};

inline QHash<QString, ThreadSample> sampleThreads(qint64 pid)
{
    QHash<QString, ThreadSample> threads;
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString &tid : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString base = tasks.filePath(tid) + QLatin1Char('/');
        const QByteArray status = readProc(base + QStringLiteral("status"));
        if (status.isEmpty())
            continue;
        ThreadSample t;
        t.name = QString::fromUtf8(readProc(base + QStringLiteral("comm")).trimmed());
        t.wakeups = statusValue(status, "voluntary_ctxt_switches");
        t.preempted = statusValue(status, "nonvoluntary_ctxt_switches");
        t.cpuNs = readProc(base + QStringLiteral("schedstat")).split(' ').value(0).toLongLong();
        threads.insert(tid, t);
    }
    return threads;
}

// The shared libraries a process has mapped, by file name, sorted.
inline QStringList mappedLibraries(qint64 pid)
{
    QSet<QString> names;
    for (const QByteArray &line : readProc(QStringLiteral("/proc/%1/maps").arg(pid)).split('\n')) {
        const qsizetype slash = line.indexOf('/');
        if (slash < 0)
            continue;
        const QString file = QFileInfo(QString::fromUtf8(line.mid(slash))).fileName();
        if (file.contains(QLatin1String(".so")))
            names.insert(file);
    }
    QStringList sorted(names.cbegin(), names.cend());
    sorted.sort();
    return sorted;
}

} // namespace bench
