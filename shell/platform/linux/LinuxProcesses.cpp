#include "LinuxServices.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QStandardPaths>

#include <cerrno>
#include <csignal>
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

bool isExecutableFile(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

// The Exec line of a desktop entry without its field codes.
QStringList desktopEntryCommand(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    bool inEntry = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inEntry = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        if (inEntry && line.startsWith(QLatin1String("Exec="))) {
            QStringList args = QProcess::splitCommand(line.mid(5));
            args.removeIf([](const QString &a) {
                return a.size() == 2 && a.startsWith(QLatin1Char('%'));
            });
            for (QString &a : args)
                a.replace(QLatin1String("%%"), QLatin1String("%"));
            return args;
        }
    }
    return {};
}

class LinuxProcesses : public Processes
{
public:
    ~LinuxProcesses() override
    {
        for (const Child &child : std::as_const(m_children))
            ::close(child.pidfd);
    }

    Pid start(const QString &program, const QString &arguments, const QString &workDir) override
    {
        if (!isExecutableFile(program))
            return 0;
        return spawn(QStringList{program} + QProcess::splitCommand(arguments), workDir, true);
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
        if (file.endsWith(QLatin1String(".desktop"), Qt::CaseInsensitive) && QFileInfo(file).isFile()) {
            QStringList command = desktopEntryCommand(file);
            if (command.isEmpty())
                return 0;
            command += QProcess::splitCommand(parameters);
            const QString program = QStandardPaths::findExecutable(command.first());
            if (program.isEmpty() && !isExecutableFile(command.first()))
                return 0;
            if (!program.isEmpty())
                command.first() = program;
            return spawn(command, workDir, false);
        }
        if (isExecutableFile(file))
            return spawn(QStringList{file} + QProcess::splitCommand(parameters), workDir, false);
        const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
        if (opener.isEmpty() || file.isEmpty())
            return 0;
        return spawn({opener, file}, workDir, false);
    }

    bool isRunning(Pid pid) override
    {
        if (pid <= 0)
            return false;
        const auto it = m_children.constFind(pid);
        if (it != m_children.constEnd()) {
            pollfd p{it->pidfd, POLLIN, 0};
            if (::poll(&p, 1, 0) == 0)
                return true;
            // Exited: reap it so it does not linger as a zombie.
            ::waitpid(pid_t(pid), nullptr, WNOHANG);
            forget(pid);
            return false;
        }
        if (::waitpid(pid_t(pid), nullptr, WNOHANG) == pid)
            return false; // a child we did not start ourselves, now reaped
        if (::kill(pid_t(pid), 0) != 0 && errno != EPERM)
            return false;
        // A zombie of someone else has exited as far as we are concerned.
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (stat.open(QIODevice::ReadOnly)) {
            const QByteArray line = stat.readAll();
            const int close = line.lastIndexOf(')');
            if (close > 0 && close + 2 < line.size() && line.at(close + 2) == 'Z')
                return false;
        }
        return true;
    }

    bool terminate(Pid pid) override
    {
        if (pid <= 0)
            return false;
        const auto it = m_children.constFind(pid);
        bool ok;
#ifdef SYS_pidfd_send_signal
        if (it != m_children.constEnd())
            ok = ::syscall(SYS_pidfd_send_signal, it->pidfd, SIGKILL, nullptr, 0) == 0;
        else
#endif
            ok = ::kill(pid_t(pid), SIGKILL) == 0;
        return ok;
    }

private:
    struct Child {
        int pidfd = -1;
        bool watched = false; // the caller will ask about it; keep it until then
    };

    // Reaps children that have exited; forgets the ones nobody will ask about.
    void sweep()
    {
        for (auto it = m_children.begin(); it != m_children.end();) {
            pollfd p{it->pidfd, POLLIN, 0};
            if (::poll(&p, 1, 0) > 0) {
                ::waitpid(pid_t(it.key()), nullptr, WNOHANG);
                if (!it->watched) {
                    ::close(it->pidfd);
                    it = m_children.erase(it);
                    continue;
                }
            }
            ++it;
        }
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

        // Started programs get a clean signal state, whatever the shell blocks or handles.
        posix_spawnattr_t attr;
        posix_spawnattr_init(&attr);
        sigset_t none, defaults;
        sigemptyset(&none);
        sigemptyset(&defaults);
        for (int sig : {SIGPIPE, SIGTERM, SIGHUP, SIGINT, SIGCHLD})
            sigaddset(&defaults, sig);
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
            m_children.insert(pid, Child{fd, watched});
        }
        return pid;
    }

    void forget(Pid pid)
    {
        const auto it = m_children.find(pid);
        if (it != m_children.end()) {
            ::close(it->pidfd);
            m_children.erase(it);
        }
    }

    QHash<Pid, Child> m_children;
};

} // namespace

std::unique_ptr<Processes> createProcesses()
{
    return std::make_unique<LinuxProcesses>();
}

} // namespace platform::linuxsvc
