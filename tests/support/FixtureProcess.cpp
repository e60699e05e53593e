#include "FixtureProcess.h"

#include <QDeadlineTimer>

FixtureProcess::FixtureProcess(const QStringList &arguments)
{
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
    return rest ? rest->toULongLong(nullptr, 16) : 0; // 0 when it is no number
}

bool FixtureProcess::waitFinished(int ms)
{
    return m_process.state() == QProcess::NotRunning || m_process.waitForFinished(ms);
}
