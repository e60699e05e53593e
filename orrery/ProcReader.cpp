#include "ProcReader.h"

#include "LocalNames.h"

#include <QDateTime>

#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace orrery {

namespace {

// /proc files report no size, so read until the end. Files are opened
// relative to the process's folder, so all of them describe the same process
// even when its id is reused meanwhile.
QByteArray readProcFile(int dirFd, const char *name)
{
    QByteArray data;
    const int fd = ::openat(dirFd, name, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return data;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0)
        data.append(buffer, n);
    ::close(fd);
    return data;
}

QByteArray readLink(int dirFd, const char *name)
{
    char buffer[4096];
    const ssize_t n = ::readlinkat(dirFd, name, buffer, sizeof buffer);
    return n > 0 ? QByteArray(buffer, n) : QByteArray();
}

int countEntries(int dirFd, const char *name)
{
    const int fd = ::openat(dirFd, name, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR *dir = fd < 0 ? nullptr : ::fdopendir(fd);
    if (!dir) {
        if (fd >= 0)
            ::close(fd);
        return -1;
    }
    int count = 0;
    while (const dirent *entry = ::readdir(dir)) {
        if (entry->d_name[0] != '.')
            ++count;
    }
    ::closedir(dir);
    return count;
}

// The words after "Key:" in a /proc key-value file.
QList<QByteArray> keyWords(const QByteArray &text, const QByteArray &key)
{
    const qsizetype at = text.startsWith(key) ? 0 : text.indexOf('\n' + key);
    if (at < 0)
        return {};
    const qsizetype start = at + (at == 0 ? 0 : 1) + key.size();
    const qsizetype end = text.indexOf('\n', start);
    return text.mid(start, end < 0 ? -1 : end - start).simplified().split(' ');
}

// The first number after "Key:", times scale; null when there is none.
QVariant keyNumber(const QByteArray &text, const QByteArray &key, qint64 scale = 1)
{
    bool ok = false;
    const qint64 value = keyWords(text, key).value(0).toLongLong(&ok);
    return ok ? QVariant(value * scale) : QVariant();
}

QString fileName(const QString &path)
{
    return path.mid(path.lastIndexOf(u'/') + 1);
}

// The command line as one text; arguments with blanks are quoted when there
// are several, so that they can be told apart.
QString commandLine(const QByteArray &raw)
{
    QList<QByteArray> args = raw.split('\0');
    while (!args.isEmpty() && args.last().isEmpty())
        args.removeLast();
    QStringList parts;
    for (const QByteArray &arg : args) {
        QString text = QString::fromLocal8Bit(arg);
        if (args.size() > 1 && (text.isEmpty() || text.contains(u' ')))
            text = u'"' + text + u'"';
        parts.append(text);
    }
    return parts.join(u' ');
}

// The executable's file name; the kernel's 15-character name when the
// executable cannot be read, lengthened from the first argument when that
// begins with it.
QString processName(const QString &comm, const QString &executable, const QString &command)
{
    if (!executable.isEmpty())
        return fileName(executable);
    const QString first = fileName(command.section(u' ', 0, 0).remove(u'"'));
    return first.size() > comm.size() && first.startsWith(comm) ? first : comm;
}

// Facts shared by every process of one call.
struct SystemFacts
{
    QString host = hostName();
    QString os = systemName();
    QString kernel = kernelRelease();
    qint64 ticksPerSecond = ::sysconf(_SC_CLK_TCK);
    qint64 pageSize = ::sysconf(_SC_PAGESIZE);
    qint64 bootTime = keyNumber(readProcFile(AT_FDCWD, "/proc/stat"), "btime").toLongLong();
};

bool readProcess(int dir, qint64 pid, const SystemFacts &facts, ProcessEntry &entry)
{
    const QByteArray stat = readProcFile(dir, "stat");
    const qsizetype open = stat.indexOf('('), close = stat.lastIndexOf(')');
    if (open < 0 || close < open)
        return false;
    // Fields after the name, counted from the state (the third field).
    const QList<QByteArray> f = stat.mid(close + 2).split(' ');
    if (f.size() < 22)
        return false;
    auto field = [&](int number) { return f[number - 3].toLongLong(); };

    const QByteArray status = readProcFile(dir, "status");
    const QList<QByteArray> uids = keyWords(status, "Uid:");
    if (uids.size() < 2)
        return false; // ended meanwhile
    entry.owner = uid_t(uids[1].toULong()); // the effective user

    QString executable = QString::fromLocal8Bit(readLink(dir, "exe"));
    if (executable.endsWith(QLatin1String(" (deleted)")))
        executable.chop(10);
    const QString command = commandLine(readProcFile(dir, "cmdline"));
    const QString name = processName(QString::fromLocal8Bit(stat.mid(open + 1, close - open - 1)), executable,
                                     command);
    const qint64 toHundredNs = 10'000'000 / qMax<qint64>(1, facts.ticksPerSecond);
    const qint64 startMs = facts.bootTime * 1000 + field(22) * 1000 / qMax<qint64>(1, facts.ticksPerSecond);

    WmiObject &p = entry.properties;
    p.set(QStringLiteral("Caption"), name);
    if (!command.isEmpty())
        p.set(QStringLiteral("CommandLine"), command);
    p.set(QStringLiteral("CreationClassName"), QStringLiteral("Win32_Process"));
    if (facts.bootTime > 0)
        p.set(QStringLiteral("CreationDate"), QDateTime::fromMSecsSinceEpoch(startMs));
    p.set(QStringLiteral("CSCreationClassName"), QStringLiteral("Win32_ComputerSystem"));
    p.set(QStringLiteral("CSName"), facts.host);
    p.set(QStringLiteral("Description"), name);
    if (!executable.isEmpty())
        p.set(QStringLiteral("ExecutablePath"), executable);
    p.set(QStringLiteral("Handle"), QString::number(pid));
    const int handles = countEntries(dir, "fd");
    if (handles >= 0)
        p.set(QStringLiteral("HandleCount"), handles);
    p.set(QStringLiteral("KernelModeTime"), field(15) * toHundredNs);
    p.set(QStringLiteral("Name"), name);
    p.set(QStringLiteral("OSCreationClassName"), QStringLiteral("Win32_OperatingSystem"));
    if (!facts.os.isEmpty())
        p.set(QStringLiteral("OSName"), facts.os);
    p.set(QStringLiteral("PageFaults"), field(10) + field(12));
    p.set(QStringLiteral("PageFileUsage"), keyNumber(status, "VmSwap:"));
    p.set(QStringLiteral("ParentProcessId"), field(4));
    p.set(QStringLiteral("PeakVirtualSize"), keyNumber(status, "VmPeak:", 1024));
    p.set(QStringLiteral("PeakWorkingSetSize"), keyNumber(status, "VmHWM:"));
    p.set(QStringLiteral("Priority"), field(18));
    p.set(QStringLiteral("PrivatePageCount"), keyNumber(status, "RssAnon:", 1024));
    p.set(QStringLiteral("ProcessId"), pid);
    const QByteArray io = readProcFile(dir, "io");
    p.set(QStringLiteral("ReadOperationCount"), keyNumber(io, "syscr:"));
    p.set(QStringLiteral("ReadTransferCount"), keyNumber(io, "rchar:"));
    p.set(QStringLiteral("SessionId"), field(6));
    p.set(QStringLiteral("ThreadCount"), field(20));
    p.set(QStringLiteral("UserModeTime"), field(14) * toHundredNs);
    p.set(QStringLiteral("VirtualSize"), field(23));
    p.set(QStringLiteral("WindowsVersion"), facts.kernel);
    p.set(QStringLiteral("WorkingSetSize"), field(24) * facts.pageSize);
    p.set(QStringLiteral("WriteOperationCount"), keyNumber(io, "syscw:"));
    p.set(QStringLiteral("WriteTransferCount"), keyNumber(io, "wchar:"));
    return true;
}

} // namespace

QList<ProcessEntry> readProcesses(const WqlQuery &query, qint64 onlyPid)
{
    QList<ProcessEntry> result;
    if (!query.isValid())
        return result;
    const SystemFacts facts;
    auto consider = [&](qint64 pid) {
        const QByteArray path = "/proc/" + QByteArray::number(pid);
        const int dir = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dir < 0)
            return;
        ProcessEntry entry;
        if (readProcess(dir, pid, facts, entry) && query.matches(entry.properties))
            result.append(std::move(entry));
        ::close(dir);
    };
    if (onlyPid != -1) {
        if (onlyPid > 0)
            consider(onlyPid);
        return result;
    }
    DIR *proc = ::opendir("/proc");
    if (!proc)
        return result;
    while (const dirent *entry = ::readdir(proc)) {
        char *end = nullptr;
        const long long pid = std::strtoll(entry->d_name, &end, 10);
        if (end != entry->d_name && *end == '\0' && pid > 0)
            consider(pid);
    }
    ::closedir(proc);
    return result;
}

} // namespace orrery
