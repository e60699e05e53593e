// bench_startup [rounds=15] [--maps] [--against PROGRAM-FOLDER]
// Starts, alternately, the minimal full-screen Qt Widgets program until its
// window is up (bare, and showing one line of text), "brindle /debug" and brindle as in the child's session (on a
// copy of the demo program folder) until their log says "All done". Each is
// left to settle for two seconds, its resident memory read, and ended.
// Reports the median of each and the shell's ratios to the minimal program;
// with --maps also the libraries the shell has mapped after start-up. With
// --against, the brindle of another program folder (an earlier build) runs in
// the child's session in each round as well, for a before-and-after in one
// run. The log
// is waited for on inotify, so the wait costs the shell no processor time.
// Needs $DISPLAY (tests/x11/run-under-xvfb). Targets, in the session: start-up
// at most 1.3 times and resident memory at most 1.3 times the minimal
// program's; exit status 1 when one is missed.
#include "../BenchProcess.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <algorithm>
#include <csignal>

namespace {

const QByteArray AllDone = "frmMenu()::All done, system should be up and running!";
constexpr double Target = 1.3;
constexpr int SettleMs = 2000;

struct Run {
    double ms = -1;
    double mb = -1;
    QStringList libraries;
};

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

void settleAndEnd(QProcess &p, Run &run, bool maps)
{
    QThread::msleep(SettleMs);
    run.mb = bench::residentMB(p.processId());
    if (maps)
        run.libraries = bench::mappedLibraries(p.processId());
    ::kill(pid_t(p.processId()), SIGTERM);
    p.waitForFinished(10000);
}

Run timeMinimal(bool maps, bool text = false)
{
    Run run;
    QProcess p;
    QElapsedTimer clock;
    clock.start();
    QStringList arguments{QStringLiteral("--stay")};
    if (text)
        arguments << QStringLiteral("--text");
    p.start(QStringLiteral(MINIMAL_WINDOW), arguments);
    if (p.waitForReadyRead(10000))
        run.ms = clock.nsecsElapsed() / 1e6;
    settleAndEnd(p, run, maps);
    return run;
}

Run timeShell(const QString &folder, const QStringList &arguments, bool maps)
{
    Run run;
    const QString log = folder + QStringLiteral("/startup.log");
    QFile::remove(log);
    QProcess p;
    p.setStandardOutputFile(QProcess::nullDevice());
    p.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    p.start(folder + QStringLiteral("/brindle"), arguments);
    if (bench::waitForText(log, AllDone, 20000))
        run.ms = clock.nsecsElapsed() / 1e6;
    settleAndEnd(p, run, maps);
    return run;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        out << "bench_startup needs an X display (run it under tests/x11/run-under-xvfb)" << Qt::endl;
        return 2;
    }
    const bool maps = app.arguments().contains(QStringLiteral("--maps"));
    const int againstAt = int(app.arguments().indexOf(QStringLiteral("--against")));
    const QString against = againstAt > 0 ? app.arguments().value(againstAt + 1) : QString();
    int rounds = 15;
    for (const QString &arg : app.arguments().mid(1))
        if (arg.toInt() > 0)
            rounds = arg.toInt();
    QTemporaryDir dir;
    const QString folder = dir.path() + QStringLiteral("/app");
    const QString otherFolder = dir.path() + QStringLiteral("/against");
    if (!bench::copyFolder(QStringLiteral(APP_DIR), folder)
        || (!against.isEmpty() && !bench::copyFolder(against, otherFolder))) {
        out << "cannot copy the program folder" << Qt::endl;
        return 1;
    }
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.path() + QStringLiteral("/config")));

    const QStringList debug{QStringLiteral("/debug")};
    // One untimed run each warms the file cache.
    timeMinimal(false);
    timeMinimal(false, true);
    timeShell(folder, debug, false);
    timeShell(folder, {}, false);
    if (!against.isEmpty())
        timeShell(otherFolder, {}, false);
    QList<double> minimalMs, debugMs, sessionMs, minimalMB, debugMB, sessionMB, otherMs, otherMB, textMs, textMB;
    QStringList shellLibraries, minimalLibraries, otherLibraries;
    for (int i = 0; i < rounds; ++i) {
        const Run m = timeMinimal(maps && i == 0);
        const Run t = timeMinimal(false, true);
        textMs << t.ms;
        textMB << t.mb;
        const Run d = timeShell(folder, debug, false);
        const Run s = timeShell(folder, {}, maps && i == 0);
        if (!against.isEmpty()) {
            const Run o = timeShell(otherFolder, {}, maps && i == 0);
            otherMs << o.ms;
            otherMB << o.mb;
            if (i == 0)
                otherLibraries = o.libraries;
        }
        if (i == 0) {
            minimalLibraries = m.libraries;
            shellLibraries = s.libraries;
        }
        minimalMs << m.ms;
        debugMs << d.ms;
        sessionMs << s.ms;
        minimalMB << m.mb;
        debugMB << d.mb;
        sessionMB << s.mb;
    }
    const double m = median(minimalMs), d = median(debugMs), s = median(sessionMs);
    const double mMB = median(minimalMB), dMB = median(debugMB), sMB = median(sessionMB);
    out << Qt::fixed;
    out.setRealNumberPrecision(1);
    out << "rounds: " << rounds << " (medians; memory " << SettleMs / 1000 << " s after start-up)" << Qt::endl;
    out << "minimal full-screen Qt program:     " << m << " ms   " << mMB << " MB" << Qt::endl;
    const double t = median(textMs), tMB = median(textMB);
    out << "the same with one line of text:     " << t << " ms   " << tMB << " MB" << Qt::endl;
    out << "brindle /debug to \"All done\":       " << d << " ms   " << dMB << " MB" << Qt::endl;
    out << "brindle, child's session, \"All done\": " << s << " ms   " << sMB << " MB" << Qt::endl;
    if (!against.isEmpty())
        out << "brindle of " << against << ", child's session: " << median(otherMs) << " ms   " << median(otherMB)
            << " MB" << Qt::endl;
    out.setRealNumberPrecision(2);
    if (!against.isEmpty() && m > 0 && mMB > 0)
        out << "its ratios to the minimal program: " << median(otherMs) / m << " and " << median(otherMB) / mMB
            << Qt::endl;
    const double timeRatio = m > 0 ? s / m : 0, memoryRatio = mMB > 0 ? sMB / mMB : 0;
    out << "ratios to the minimal program: /debug " << (m > 0 ? d / m : 0) << " and " << (mMB > 0 ? dMB / mMB : 0)
        << "; session " << timeRatio << " and " << memoryRatio << " (targets at most " << Target << ")" << Qt::endl;
    if (t > 0 && tMB > 0)
        out << "session ratios to the program with text: " << s / t << " and " << sMB / tMB << Qt::endl;
    if (maps) {
        out << "libraries of the minimal program: " << minimalLibraries.size() << Qt::endl;
        out << "libraries of brindle in the session after start-up: " << shellLibraries.size() << Qt::endl;
        for (const QString &library : std::as_const(shellLibraries))
            out << "  " << library << (minimalLibraries.contains(library) ? "" : "   (not in the minimal program)")
                << Qt::endl;
        if (!against.isEmpty()) {
            out << "libraries of the other brindle after start-up: " << otherLibraries.size() << Qt::endl;
            for (const QString &library : std::as_const(otherLibraries))
                out << "  " << library << (shellLibraries.contains(library) ? "" : "   (not in this brindle)")
                    << Qt::endl;
        }
    }
    const bool met = timeRatio > 0 && timeRatio <= Target && memoryRatio > 0 && memoryRatio <= Target;
    out << "targets: " << (met ? "met" : "MISSED") << Qt::endl;
    return met ? 0 : 1;
}
