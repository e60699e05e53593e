#pragma once

#include <QString>

namespace platform {

using Pid = qint64;

// Starting and watching programs.
class Processes
{
public:
    virtual ~Processes() = default;

    // Starts program with the arguments (split with shell-like quoting) in
    // workDir. Returns the process id, 0 when it could not start (also for a
    // program that is not an executable file).
    virtual Pid start(const QString &program, const QString &arguments, const QString &workDir) = 0;

    // Starts the program and blocks until it ends. False when it could not start.
    virtual bool runAndWait(const QString &program, const QString &arguments,
                            const QString &workDir) = 0;

    // Opens a document, folder or web address with the desktop's default
    // program; starts an executable directly and a .desktop file through its
    // Exec line. Returns the id of the started process, 0 on failure.
    virtual Pid shellOpen(const QString &file, const QString &parameters, const QString &workDir) = 0;

    // The process exists and has not exited (own children are reaped).
    virtual bool isRunning(Pid pid) = 0;

    // Ends the process at once, and for a program we started everything in
    // its process group (what a launcher script started). True when it was ended.
    virtual bool terminate(Pid pid) = 0;
};

} // namespace platform
