// bench_idle [seconds=60] [--debug] [--folder PROGRAM-FOLDER] [--maps]
// The shell idling on the menu, as a child's PC has it for hours: a copy of
// the program folder (build/app by default) whose menu shows the information
// bar and one caption that ticks ("%time%"), started in the child's session
// (or with "/debug"), left to settle, then watched for the given seconds.
// Reported from /proc: the processor time of all its threads as a share of
// one core, the wake-ups a second over all threads (each time a thread went to
// sleep and was woken again), per thread, and the resident memory; with
// --maps also the libraries it has mapped. Needs an X display: run it through
// bench/menu/idle-cpu.sh, which gives it openbox with the session's
// configuration and a panel to hide.
// Targets: under 0.2 % of one core and under 10 wake-ups a second; exit
// status 1 when one is missed.
#include "../BenchProcess.h"

#include "base/modGlobals.h"
#include "data/SettingsFile.h"

#include <QCoreApplication>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <csignal>
#include <cstdio>

using modGlobals::SS;

namespace {

const QByteArray AllDone = "frmMenu()::All done, system should be up and running!";
constexpr double TargetPercent = 0.2;
constexpr double TargetWakeups = 10;
constexpr int SettleSeconds = 10;

bool prepareMenu(const QString &folder)
{
    const QString path = folder + QStringLiteral("/settings.dat");
    if (SettingsFile::LoadFile(path, SS))
        return false;
    if (SS.ButtonsMax < 0 || !SS.Buttons.has(0))
        return false;
    SS.Buttons.at(0).Caption = QStringLiteral("%time%");
    SS.ShowStatusBar = VbTrue;
    SS.ShowSystemInfoBar = VbTrue;
    SS.ShowActiveApps = VbTrue;
    return !SettingsFile::SaveFile(path, SS);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    int seconds = 60;
    bool debug = false;
    bool maps = false;
    QString source = QStringLiteral(BRINDLE_APP_DIR);
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--debug"))
            debug = true;
        else if (args.at(i) == QLatin1String("--maps"))
            maps = true;
        else if (args.at(i) == QLatin1String("--folder") && i + 1 < args.size())
            source = args.at(++i);
        else if (args.at(i).toInt() > 0)
            seconds = args.at(i).toInt();
    }
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::fprintf(stderr, "bench_idle needs an X display: run it through bench/menu/idle-cpu.sh\n");
        return 2;
    }
    QTemporaryDir dir;
    const QString folder = dir.path() + QStringLiteral("/app");
    if (!bench::copyFolder(source, folder) || !prepareMenu(folder)) {
        std::fprintf(stderr, "cannot prepare a copy of %s\n", qPrintable(source));
        return 1;
    }
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.path() + QStringLiteral("/config")));
    QDir().mkpath(dir.path() + QStringLiteral("/run"));
    QFile::setPermissions(dir.path() + QStringLiteral("/run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir.path() + QStringLiteral("/run")));

    QProcess shell;
    shell.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    shell.setStandardOutputFile(QProcess::nullDevice());
    shell.start(folder + QStringLiteral("/brindle"), debug ? QStringList{QStringLiteral("/debug")} : QStringList{});
    if (!shell.waitForStarted() || !bench::waitForText(folder + QStringLiteral("/startup.log"), AllDone, 30000)) {
        std::fprintf(stderr, "the shell did not come up\n");
        return 1;
    }
    const qint64 pid = shell.processId();
    QThread::sleep(SettleSeconds);

    const auto before = bench::sampleThreads(pid);
    QElapsedTimer clock;
    clock.start();
    QThread::sleep(seconds);
    const auto after = bench::sampleThreads(pid);
    const double elapsed = clock.nsecsElapsed() / 1e9;
    const double rss = bench::residentMB(pid);
    const QStringList libraries = maps ? bench::mappedLibraries(pid) : QStringList();

    // Per thread name; a thread that came meanwhile counts from zero, one
    // that ended is missing from the second look and so is left out.
    struct Figures {
        int threads = 0;
        qint64 wakeups = 0, preempted = 0, cpuNs = 0;
    };
    QMap<QString, Figures> byName;
    Figures total;
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        const bench::ThreadSample start = before.value(it.key());
        Figures &f = byName[it->name];
        const Figures d{1, it->wakeups - start.wakeups, it->preempted - start.preempted, it->cpuNs - start.cpuNs};
        f.threads += 1;
        f.wakeups += d.wakeups;
        f.preempted += d.preempted;
        f.cpuNs += d.cpuNs;
        total.threads += 1;
        total.wakeups += d.wakeups;
        total.preempted += d.preempted;
        total.cpuNs += d.cpuNs;
    }
    ::kill(pid_t(pid), SIGTERM);
    shell.waitForFinished(15000);

    const double percent = 100.0 * total.cpuNs / 1e9 / elapsed;
    const double wakeups = total.wakeups / elapsed;
    std::printf("brindle %s, idle on the menu (information bar, a \"%%time%%\" caption), %.0f s after %d s to settle:\n",
                debug ? "/debug" : "in the child's session", elapsed, SettleSeconds);
    for (auto it = byName.cbegin(); it != byName.cend(); ++it)
        std::printf("  %-20s x%d  %7.2f wake-ups/s  %6.3f %% of one core  (%.2f preemptions/s)\n",
                    qPrintable(it.key()), it->threads, it->wakeups / elapsed, 100.0 * it->cpuNs / 1e9 / elapsed,
                    it->preempted / elapsed);
    std::printf("  all %d threads:        %7.2f wake-ups/s  %6.3f %% of one core\n", total.threads, wakeups, percent);
    std::printf("  resident memory: %.1f MB\n", rss);
    if (maps) {
        std::printf("  %lld libraries mapped:\n", static_cast<long long>(libraries.size()));
        for (const QString &library : libraries)
            std::printf("    %s\n", qPrintable(library));
    }
    const bool met = percent < TargetPercent && wakeups < TargetWakeups;
    std::printf("targets: under %.1f %% of one core and under %.0f wake-ups/s: %s\n", TargetPercent, TargetWakeups,
                met ? "met" : "MISSED");
    return met ? 0 : 1;
}
