#include "ShellRun.h"

#include "data/SettingsFile.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

#include <csignal>

ShellRun::ShellRun(TestEnv &env)
    : m_env(env)
    , m_script(env.path(QStringLiteral("dialogs.txt")))
{
}

ShellRun::~ShellRun()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished();
    }
}

bool ShellRun::install()
{
    const QString from = TestEnv::builtProgramFolder();
    for (const char *name : {"brindle", "libpellet.so", "liborrery.so", "data/stats.db"}) {
        const QString target = m_env.path(QLatin1String(name));
        QFile::remove(target);
        if (!QFile::copy(from + QLatin1String(name), target))
            return false;
    }
    return QFile::setPermissions(m_env.path(QStringLiteral("brindle")),
                                 QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void ShellRun::writeSettings(const SettingsRecord &record)
{
    writeFile(QStringLiteral("settings.dat"), SettingsFile::Write(record));
}

void ShellRun::writeFile(const QString &relative, const QByteArray &bytes)
{
    ::writeFile(m_env.path(relative), bytes);
}

void ShellRun::answerDialogs(const QStringList &answers)
{
    writeFile(QStringLiteral("dialogs.txt"), answers.join(QLatin1Char('\n')).toUtf8() + '\n');
}

bool ShellRun::start(const QStringList &arguments, bool withDisplay)
{
    QFile::remove(m_script + QStringLiteral(".shown"));
    if (!QFile::exists(m_script))
        answerDialogs({});
    // Whatever the test put into the environment beforehand stays.
    QProcessEnvironment environment = m_process.processEnvironment();
    if (environment.isEmpty())
        environment = QProcessEnvironment::systemEnvironment();
    if (withDisplay) {
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    } else {
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.remove(QStringLiteral("DISPLAY"));
    }
    environment.insert(QStringLiteral("BRINDLE_TEST_DIALOGS"), m_script);
    m_process.setProcessEnvironment(environment);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.setWorkingDirectory(m_env.programFolder());
    m_process.start(m_env.path(QStringLiteral("brindle")), arguments);
    return m_process.waitForStarted();
}

bool ShellRun::waitForLog(const QString &line, int times, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        const bool running = m_process.state() != QProcess::NotRunning;
        if (logLines().count(line) >= times)
            return true;
        if (!running || deadline.hasExpired())
            return false;
        QThread::msleep(20);
    }
}

bool ShellRun::waitForExit(int timeoutMs)
{
    return m_process.state() == QProcess::NotRunning || m_process.waitForFinished(timeoutMs);
}

void ShellRun::terminate()
{
    if (m_process.state() != QProcess::NotRunning)
        ::kill(pid_t(m_process.processId()), SIGTERM);
}

QStringList ShellRun::shownDialogs() const
{
    return readLines(m_script + QStringLiteral(".shown"));
}
