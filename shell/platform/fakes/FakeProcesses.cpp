#include "FakeProcesses.h"

namespace platform {

Pid FakeProcesses::launch(const QString &program, const QString &arguments, const QString &workDir, bool shell)
{
    const Pid pid = failStarts ? 0 : nextPid++;
    if (pid)
        m_running[pid] = true;
    started.append({program, arguments, workDir, pid, shell});
    return pid;
}

Pid FakeProcesses::start(const QString &program, const QString &arguments, const QString &workDir)
{
    return launch(program, arguments, workDir, false);
}

bool FakeProcesses::runAndWait(const QString &program, const QString &arguments, const QString &workDir)
{
    const Pid pid = launch(program, arguments, workDir, false);
    if (pid)
        m_running[pid] = false;
    return pid != 0;
}

Pid FakeProcesses::shellOpen(const QString &file, const QString &parameters, const QString &workDir)
{
    return launch(file, parameters, workDir, true);
}

bool FakeProcesses::isRunning(Pid pid)
{
    return m_running.value(pid, false);
}

bool FakeProcesses::terminate(Pid pid)
{
    if (refuseTerminate.contains(pid) || !m_running.value(pid, false))
        return false;
    m_running[pid] = false;
    return true;
}

} // namespace platform
