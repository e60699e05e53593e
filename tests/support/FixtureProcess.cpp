#include "FixtureProcess.h"

#include <QDeadlineTimer>
#include <QDir>

#include <csignal>

FixtureProcess::FixtureProcess(const QStringList &arguments)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // Keeps Qt's start-up complaint about a missing runtime folder quiet.
    if (!env.contains(QStringLiteral("XDG_RUNTIME_DIR"))) {
        const QString runtime = QDir::tempPath() + QStringLiteral("/brindle-fixture-runtime");
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    }
    m_process.setProcessEnvironment(env);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(program(), arguments);
    if (m_process.waitForStarted(10000))
        m_pid = m_process.processId();
}

FixtureProcess::~FixtureProcess()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(3000)) {
        m_process.kill();
        m_process.waitForFinished(3000);
    }
}

QString FixtureProcess::program()
{
    return QStringLiteral(BRINDLE_TESTAPP);
}

bool FixtureProcess::readMore(int ms)
{
    if (m_process.bytesAvailable() == 0 && !m_process.waitForReadyRead(ms))
        return false;
    m_pending += m_process.readAllStandardOutput();
    qsizetype nl;
    while ((nl = m_pending.indexOf('\n')) >= 0) {
        m_lines << m_pending.left(nl);
        m_pending.remove(0, nl + 1);
    }
    return true;
}

std::optional<QByteArray> FixtureProcess::waitForLine(const QByteArray &prefix, int ms)
{
    const QDeadlineTimer deadline(ms);
    for (;;) {
        while (!m_lines.isEmpty()) {
            const QByteArray line = m_lines.takeFirst();
            if (line.startsWith(prefix))
                return line.mid(prefix.size()).trimmed();
        }
        if (deadline.hasExpired() || !readMore(int(deadline.remainingTime())))
            return std::nullopt;
    }
}

quint64 FixtureProcess::waitShown(int ms)
{
    const auto rest = waitForLine("shown ", ms);
    if (!rest)
        return 0;
    bool ok = false;
    const quint64 id = rest->toULongLong(&ok, 16);
    return ok ? id : 0;
}

void FixtureProcess::signal(int sig)
{
    if (m_pid > 0)
        ::kill(pid_t(m_pid), sig);
}

bool FixtureProcess::waitFinished(int ms)
{
    return m_process.state() == QProcess::NotRunning || m_process.waitForFinished(ms);
}
