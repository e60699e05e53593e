#include "LinuxServices.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSocketNotifier>
#include <QStandardPaths>

#include <cerrno>
#include <csignal>
#include <limits>
#include <map>
#include <memory>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace platform::linuxsvc {
namespace {

int pidfdOpen(pid_t pid)
{
#ifdef SYS_pidfd_open
    return int(::syscall(SYS_pidfd_open, pid, 0));
#else
    Q_UNUSED(pid);
    errno = ENOSYS;
    return -1;
#endif
}

// A Pid that does not fit pid_t would turn into a negative number, which
// waitpid() and kill() read as "any child" or "every process".
bool validPid(Pid pid)
{
    return pid > 0 && pid <= std::numeric_limits<pid_t>::max();
}

bool isExecutableFile(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

// The program as the caller meant it: a path relative to the current folder
// (the child changes to its own folder before it starts), or a bare name
// looked up in PATH as CreateProcess does. Empty when nothing runnable.
QString resolveProgram(const QString &program)
{
    if (program.isEmpty())
        return {};
    if (!program.contains(QLatin1Char('/'))) {
        if (isExecutableFile(program))
            return QFileInfo(program).absoluteFilePath();
        return QStandardPaths::findExecutable(program);
    }
    return isExecutableFile(program) ? QFileInfo(program).absoluteFilePath() : QString();
}

bool processIsGone(Pid pid)
{
    if (::kill(pid_t(pid), 0) != 0 && errno != EPERM)
        return true;
    // A zombie (or a dying process) has exited as far as anyone is concerned.
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (stat.open(QIODevice::ReadOnly)) {
        const QByteArray line = stat.readAll();
        const qsizetype close = line.lastIndexOf(')');
        if (close > 0 && close + 2 < line.size()) {
            const char state = line.at(close + 2);
            return state == 'Z' || state == 'X' || state == 'x';
        }
    }
    return false;
}

// The parts of a desktop entry file (freedesktop Desktop Entry format) that
// starting it needs.
struct DesktopEntry {
    QString type;
    QString name;
    QString icon;
    QString exec;
    QString path;
    QString url;
    QString file;

    static DesktopEntry read(const QString &fileName)
    {
        DesktopEntry entry;
        entry.file = QFileInfo(fileName).absoluteFilePath();
        QFile f(fileName);
        if (!f.open(QIODevice::ReadOnly))
            return entry;
        bool inMainGroup = false;
        for (const QByteArray &raw : f.readAll().split('\n')) {
            const QString line = QString::fromUtf8(raw).trimmed();
            if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
                continue;
            if (line.startsWith(QLatin1Char('['))) {
                inMainGroup = line == QLatin1String("[Desktop Entry]");
                continue;
            }
            const qsizetype eq = line.indexOf(QLatin1Char('='));
            if (!inMainGroup || eq <= 0)
                continue;
            const QString key = line.left(eq).trimmed();
            const QString value = unescapeValue(line.mid(eq + 1).trimmed());
            if (key == QLatin1String("Type"))
                entry.type = value;
            else if (key == QLatin1String("Name"))
                entry.name = value;
            else if (key == QLatin1String("Icon"))
                entry.icon = value;
            else if (key == QLatin1String("Exec"))
                entry.exec = value;
            else if (key == QLatin1String("Path"))
                entry.path = value;
            else if (key == QLatin1String("URL"))
                entry.url = value;
        }
        return entry;
    }

    // The Exec line as program and arguments, field codes expanded; the
    // files (arguments) take the place of the file codes, or follow.
    QStringList command(const QStringList &files) const
    {
        QStringList result;
        bool filesUsed = false;
        for (const QString &arg : splitExec(exec)) {
            if (arg.size() == 2 && arg.at(0) == QLatin1Char('%')) {
                switch (arg.at(1).toLatin1()) {
                case 'f': case 'u':
                    if (!files.isEmpty())
                        result << files.first();
                    filesUsed = true;
                    continue;
                case 'F': case 'U':
                    result << files;
                    filesUsed = true;
                    continue;
                case 'i':
                    if (!icon.isEmpty())
                        result << QStringLiteral("--icon") << icon;
                    continue;
                case '%':
                    break;
                default:
                    if (arg.at(1) != QLatin1Char('c') && arg.at(1) != QLatin1Char('k'))
                        continue; // %d %D %n %N %v %m and unknown codes: dropped
                    break;
                }
            }
            result << expandInside(arg);
        }
        if (!filesUsed && !result.isEmpty())
            result << files;
        return result;
    }

private:
    static QString unescapeValue(const QString &value)
    {
        QString out;
        out.reserve(value.size());
        for (qsizetype i = 0; i < value.size(); ++i) {
            const QChar c = value.at(i);
            if (c != QLatin1Char('\\') || i + 1 == value.size()) {
                out += c;
                continue;
            }
            const QChar n = value.at(++i);
            switch (n.toLatin1()) {
            case 's': out += QLatin1Char(' '); break;
            case 'n': out += QLatin1Char('\n'); break;
            case 't': out += QLatin1Char('\t'); break;
            case 'r': out += QLatin1Char('\r'); break;
            case '\\': out += QLatin1Char('\\'); break;
            default: out += QLatin1Char('\\'); out += n; break; // for the Exec quoting
            }
        }
        return out;
    }

    // Blank-separated arguments; double quotes group, and inside them a
    // backslash takes the next of " ` $ \ literally.
    static QStringList splitExec(const QString &line)
    {
        QStringList args;
        QString current;
        bool inArg = false, quoted = false;
        for (qsizetype i = 0; i < line.size(); ++i) {
            const QChar c = line.at(i);
            if (quoted) {
                if (c == QLatin1Char('\\') && i + 1 < line.size()
                    && QStringLiteral("\"`$\\").contains(line.at(i + 1))) {
                    current += line.at(++i);
                } else if (c == QLatin1Char('"')) {
                    quoted = false;
                } else {
                    current += c;
                }
            } else if (c == QLatin1Char('"')) {
                quoted = inArg = true;
            } else if (c == QLatin1Char(' ') || c == QLatin1Char('\t')) {
                if (inArg)
                    args << current;
                current.clear();
                inArg = false;
            } else {
                current += c;
                inArg = true;
            }
        }
        if (inArg)
            args << current;
        return args;
    }

    // Codes inside a longer argument: %c and %k expand, %% is a percent sign,
    // the rest go.
    QString expandInside(const QString &arg) const
    {
        QString out;
        for (qsizetype i = 0; i < arg.size(); ++i) {
            if (arg.at(i) != QLatin1Char('%') || i + 1 == arg.size()) {
                out += arg.at(i);
                continue;
            }
            const QChar code = arg.at(++i);
            if (code == QLatin1Char('%'))
                out += QLatin1Char('%');
            else if (code == QLatin1Char('c'))
                out += name;
            else if (code == QLatin1Char('k'))
                out += file;
        }
        return out;
    }
};

class LinuxProcesses : public Processes
{
public:
    ~LinuxProcesses() override
    {
        for (auto &[pid, child] : m_children)
            closeChild(child);
    }

    Pid start(const QString &program, const QString &arguments, const QString &workDir) override
    {
        const QString resolved = resolveProgram(program);
        if (resolved.isEmpty())
            return 0;
        return spawn(QStringList{resolved} + QProcess::splitCommand(arguments), workDir, true);
    }

    bool runAndWait(const QString &program, const QString &arguments, const QString &workDir) override
    {
        const Pid pid = start(program, arguments, workDir);
        if (pid <= 0)
            return false;
        int status = 0;
        while (::waitpid(pid_t(pid), &status, 0) < 0 && errno == EINTR) {
        }
        forget(pid);
        return true;
    }

    Pid shellOpen(const QString &file, const QString &parameters, const QString &workDir) override
    {
        if (file.isEmpty())
            return 0;
        if (file.endsWith(QLatin1String(".desktop"), Qt::CaseInsensitive) && QFileInfo(file).isFile())
            return openDesktopEntry(file, parameters, workDir);
        if (isExecutableFile(file))
            return spawn(QStringList{QFileInfo(file).absoluteFilePath()} + QProcess::splitCommand(parameters),
                         workDir, false);
        return xdgOpen(file, workDir);
    }

    bool isRunning(Pid pid) override
    {
        if (!validPid(pid))
            return false;
        const auto it = m_children.find(pid);
        if (it != m_children.end()) {
            if (!it->second.exited && !hasExited(it->second))
                return true;
            reap(pid);
            forget(pid);
            return false;
        }
        if (::waitpid(pid_t(pid), nullptr, WNOHANG) == pid)
            return false; // a child we did not start ourselves, now reaped
        return !processIsGone(pid);
    }

    bool terminate(Pid pid) override
    {
        if (!validPid(pid))
            return false;
        const auto it = m_children.find(pid);
        if (it != m_children.end()) {
            if (it->second.exited)
                return false;
            // Our child leads a session and process group of its own, and the
            // game a launcher script starts runs in that group: all of it goes.
            // Until we reap the child, its number (and so the group's) is its own.
            return ::kill(-pid_t(pid), SIGKILL) == 0;
        }
        return ::kill(pid_t(pid), SIGKILL) == 0;
    }

private:
    struct Child {
        int pidfd = -1;
        bool watched = false; // the caller will ask about it; keep it until then
        bool exited = false;  // reaped; only the answer for the caller is left
        std::unique_ptr<QSocketNotifier> notifier;
    };

    Pid openDesktopEntry(const QString &file, const QString &parameters, const QString &workDir)
    {
        const DesktopEntry entry = DesktopEntry::read(file);
        if (entry.type == QLatin1String("Link"))
            return entry.url.isEmpty() ? 0 : xdgOpen(entry.url, workDir);
        QStringList command = entry.command(QProcess::splitCommand(parameters));
        if (command.isEmpty())
            return 0;
        command.first() = resolveProgram(command.first());
        if (command.first().isEmpty())
            return 0;
        return spawn(command, entry.path.isEmpty() ? workDir : entry.path, false);
    }

    Pid xdgOpen(const QString &target, const QString &workDir)
    {
        const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
        if (opener.isEmpty())
            return 0;
        return spawn({opener, target}, workDir, false);
    }

    static bool hasExited(const Child &child)
    {
        if (child.pidfd < 0)
            return false;
        pollfd p{child.pidfd, POLLIN, 0};
        return ::poll(&p, 1, 0) > 0;
    }

    void reap(Pid pid)
    {
        while (::waitpid(pid_t(pid), nullptr, WNOHANG) < 0 && errno == EINTR) {
        }
    }

    // A child ended: reap it at once, so no zombie lingers. A watched child's
    // answer is kept until the caller asks.
    void childExited(Pid pid)
    {
        const auto it = m_children.find(pid);
        if (it == m_children.end())
            return;
        reap(pid);
        if (!it->second.watched) {
            forget(pid);
            return;
        }
        closeChild(it->second);
        it->second.exited = true;
    }

    // Without an event loop nobody hears a child end; look whenever we spawn.
    void sweep()
    {
        std::vector<Pid> ended;
        for (const auto &[pid, child] : m_children) {
            if (!child.exited && hasExited(child))
                ended.push_back(pid);
        }
        for (Pid pid : ended)
            childExited(pid);
    }

    Pid spawn(const QStringList &command, const QString &workDir, bool watched)
    {
        sweep();
        QList<QByteArray> storage;
        storage.reserve(command.size());
        for (const QString &arg : command)
            storage.append(QFile::encodeName(arg));
        std::vector<char *> argv;
        for (QByteArray &arg : storage)
            argv.push_back(arg.data());
        argv.push_back(nullptr);

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        const QByteArray dir = QFile::encodeName(workDir);
        if (!workDir.isEmpty() && QFileInfo(workDir).isDir())
            posix_spawn_file_actions_addchdir_np(&actions, dir.constData());
        // Our descriptors (lock files, sockets) are none of the program's
        // business, and one it kept open could outlive the shell.
        posix_spawn_file_actions_addclosefrom_np(&actions, 3);

        // Started programs get a clean signal state, whatever the shell blocks,
        // handles or ignores.
        posix_spawnattr_t attr;
        posix_spawnattr_init(&attr);
        sigset_t none, defaults;
        sigemptyset(&none);
        sigfillset(&defaults);
        sigdelset(&defaults, SIGKILL);
        sigdelset(&defaults, SIGSTOP);
        posix_spawnattr_setsigmask(&attr, &none);
        posix_spawnattr_setsigdefault(&attr, &defaults);
        posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF
                                            | POSIX_SPAWN_SETSID);

        pid_t pid = 0;
        const int rc = posix_spawn(&pid, argv[0], &actions, &attr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attr);
        if (rc != 0)
            return 0;
        const int fd = pidfdOpen(pid);
        if (fd >= 0) {
            ::fcntl(fd, F_SETFD, FD_CLOEXEC);
            Child child;
            child.pidfd = fd;
            child.watched = watched;
            if (QCoreApplication::instance()) {
                child.notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
                QObject::connect(child.notifier.get(), &QSocketNotifier::activated,
                                 child.notifier.get(), [this, pid] { childExited(pid); });
            }
            m_children[pid] = std::move(child);
        }
        return pid;
    }

    static void closeChild(Child &child)
    {
        if (child.notifier) {
            child.notifier->setEnabled(false);
            // Deleting it from inside its own signal is not safe.
            child.notifier.release()->deleteLater();
        }
        if (child.pidfd >= 0)
            ::close(child.pidfd);
        child.pidfd = -1;
    }

    void forget(Pid pid)
    {
        const auto it = m_children.find(pid);
        if (it != m_children.end()) {
            closeChild(it->second);
            m_children.erase(it);
        }
    }

    std::map<Pid, Child> m_children;
};

} // namespace

std::unique_ptr<Processes> createProcesses()
{
    return std::make_unique<LinuxProcesses>();
}

} // namespace platform::linuxsvc
