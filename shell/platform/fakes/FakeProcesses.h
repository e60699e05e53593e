#pragma once

#include "../Processes.h"

#include <QHash>
#include <QList>
#include <QString>

namespace platform {

// Processes for tests: start() hands out ids and remembers what was started;
// the test decides which of them run, exit or refuse to end.
class FakeProcesses : public Processes
{
public:
    struct Started {
        QString program;
        QString arguments;
        QString workDir;
        Pid pid = 0;
        bool shell = false; // through shellOpen
    };

    QList<Started> started;
    Pid nextPid = 1000;
    bool failStarts = false;           // start() and shellOpen() give 0
    QList<Pid> refuseTerminate;        // terminate() fails for these

    void setRunning(Pid pid, bool running) { m_running[pid] = running; }
    void exit(Pid pid) { m_running[pid] = false; }

    Pid start(const QString &program, const QString &arguments, const QString &workDir) override;
    bool runAndWait(const QString &program, const QString &arguments, const QString &workDir) override;
    Pid shellOpen(const QString &file, const QString &parameters, const QString &workDir) override;
    bool isRunning(Pid pid) override;
    bool terminate(Pid pid) override;

private:
    Pid launch(const QString &program, const QString &arguments, const QString &workDir, bool shell);
    QHash<Pid, bool> m_running;
};

} // namespace platform
