#pragma once

#include <QByteArray>
#include <QProcess>
#include <QStringList>

#include <optional>

// The fixture program (tests/fixtures/testapp.cpp) running as a child of the
// test, with its report lines ("shown 0x...", "child ...") at hand.
// Ended with the object.
class FixtureProcess
{
public:
    explicit FixtureProcess(const QStringList &arguments);
    ~FixtureProcess();

    qint64 pid() const { return m_pid; }

    // The rest of the next line that starts with prefix (lines before it are
    // passed over); nullopt after ms milliseconds or when the program ended.
    std::optional<QByteArray> waitForLine(const QByteArray &prefix, int ms = 15000);
    // The main window, from the "shown" line; 0 when it never came.
    quint64 waitShown(int ms = 15000);

    bool waitFinished(int ms = 10000);
    bool isRunning() const { return m_process.state() != QProcess::NotRunning; }
    QProcess &process() { return m_process; }

    static QString program();

private:
    bool readMore(int ms);

    QProcess m_process;
    qint64 m_pid = 0;
    QByteArray m_pending;
    QList<QByteArray> m_lines;
};
