#pragma once

#include "TestEnv.h"
#include "data/SettingsRecord.h"

#include <QProcess>
#include <QStringList>

// Runs the real shell binary in a test's own program folder, answers its
// dialogs from a script and reads back its start-up log.
class ShellRun
{
public:
    explicit ShellRun(TestEnv &env);
    ~ShellRun();

    // Copies the program and its library into the test's program folder.
    bool install();
    void writeSettings(const SettingsRecord &record);
    void writeFile(const QString &relative, const QByteArray &bytes);
    void answerDialogs(const QStringList &answers);

    // Starts on the offscreen platform, or on the X display of the test
    // ($DISPLAY) as a session would.
    bool start(const QStringList &arguments, bool withDisplay = false);
    bool startWithDisplay(const QStringList &arguments) { return start(arguments, true); }
    // Waits until the log holds the line (timestamp removed) that many times.
    bool waitForLog(const QString &line, int times = 1, int timeoutMs = 15000);
    bool waitForExit(int timeoutMs = 15000);
    void terminate(); // SIGTERM, the way a log-out ends the shell
    int exitCode() const { return m_process.exitCode(); }
    QProcess &process() { return m_process; }

    QStringList logLines() const { return m_env.logLines(); }
    // What the dialogs showed, one "kind\tstyle\ttitle\ttext" line each.
    QStringList shownDialogs() const;

private:
    TestEnv &m_env;
    QProcess m_process;
    QString m_script;
};
