// bench_beeper: how much processor time and memory a running beeper takes.
//
// Starts beeper in a private program folder and settings store with Interval
// 1000 and each given BeepType, lets it run, and reads its user + system time
// from /proc/<pid>/stat and its memory (VmRSS, VmHWM) from /proc/<pid>/status.
// The processor share is taken after the first two seconds (start-up excluded)
// and, separately, over the whole life. Targets: under 0.5 % of one core and
// under 30 MB resident. Exit status 1 when a target is missed or beeper
// misbehaves (no ticks, "Running" not cleared at the end).
//   bench_beeper [seconds=60] [beep types=2,0] [--null-audio] [--beeper PATH]
// Tones go to the machine's default audio output; --null-audio sends them to
// ALSA's null device, so the sound path runs on a machine without speakers.

#include "SettingsStore.h"
#include "SingleInstance.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <unistd.h>

namespace {

constexpr double CpuTargetPercent = 0.5;
constexpr double MemoryTargetMB = 30.0;
constexpr int SettleMs = 2000;

const QString App = QStringLiteral("Brindle");
const QString Section = QStringLiteral("Beeper");

double cpuSeconds(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = stat.readAll();
    const QList<QByteArray> f = text.mid(text.lastIndexOf(')') + 2).split(' ');
    if (f.size() < 13)
        return -1;
    return double(f.at(11).toLongLong() + f.at(12).toLongLong()) / double(sysconf(_SC_CLK_TCK));
}

double statusMB(qint64 pid, const QByteArray &key)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key + ':'))
            return line.mid(key.size() + 1).simplified().split(' ').value(0).toDouble() / 1024.0;
    }
    return -1;
}

int countLines(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    return int(f.readAll().count('\n'));
}

struct Result
{
    int ticks = 0;
    double steadyPercent = -1;
    double lifePercent = -1;
    double rssMB = -1;
    double rssEarlyMB = -1;
    double hwmMB = -1;
    bool cleanEnd = false;
};

bool runOnce(const QString &beeper, int beepType, int seconds, bool nullAudio, Result &r)
{
    QTemporaryDir root;
    if (!root.isValid())
        return false;
    const QDir dir(root.path());
    dir.mkpath(QStringLiteral("app/beeper"));
    dir.mkpath(QStringLiteral("config"));
    dir.mkpath(QStringLiteral("runtime"));
    QFile::setPermissions(dir.filePath(QStringLiteral("runtime")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString program = dir.filePath(QStringLiteral("app/beeper/beeper"));
    if (!QFile::copy(beeper, program)) {
        std::fprintf(stderr, "cannot copy %s\n", qPrintable(beeper));
        return false;
    }
    QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    // This process writes the same store beeper reads.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath(QStringLiteral("config"))));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir.filePath(QStringLiteral("runtime"))));
    SettingsStore::SaveSetting(App, Section, QStringLiteral("Interval"), QStringLiteral("1000"));
    SettingsStore::SaveSetting(App, Section, QStringLiteral("BeepType"), QString::number(beepType));
    SettingsStore::SaveSetting(App, Section, QStringLiteral("Quit"), QStringLiteral("0"));

    const QString log = dir.filePath(QStringLiteral("tones.log"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("BRINDLE_TONE_LOG"), log);
    if (nullAudio) {
        const QString conf = dir.filePath(QStringLiteral("alsa.conf"));
        QFile c(conf);
        c.open(QIODevice::WriteOnly);
        c.write("pcm.!default { type null }\n");
        c.close();
        env.insert(QStringLiteral("ALSA_CONFIG_PATH"), conf);
    }

    // Stands for the shell, without which beeper ends.
    SingleInstance shell(QStringLiteral("brindle"), QFileInfo(dir.filePath(QStringLiteral("app"))).canonicalFilePath());
    shell.tryAcquire();

    QProcess p;
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(dir.filePath(QStringLiteral("app/beeper")));
    p.setProcessChannelMode(QProcess::ForwardedChannels);
    QElapsedTimer clock;
    clock.start();
    p.start(program, {});
    if (!p.waitForStarted(5000)) {
        std::fprintf(stderr, "cannot start %s\n", qPrintable(program));
        return false;
    }
    const qint64 pid = p.processId();

    QThread::msleep(SettleMs);
    const double cpuStart = cpuSeconds(pid);
    const qint64 steadyStart = clock.elapsed();
    r.rssEarlyMB = statusMB(pid, "VmRSS");
    while (clock.elapsed() < qint64(seconds) * 1000 && p.state() == QProcess::Running)
        QThread::msleep(200);
    const double cpuEnd = cpuSeconds(pid);
    const qint64 end = clock.elapsed();
    r.rssMB = statusMB(pid, "VmRSS");
    r.hwmMB = statusMB(pid, "VmHWM");
    r.steadyPercent = 100.0 * (cpuEnd - cpuStart) / ((end - steadyStart) / 1000.0);
    r.lifePercent = 100.0 * cpuEnd / (end / 1000.0);
    r.ticks = countLines(log);

    SettingsStore::SaveSetting(App, Section, QStringLiteral("Quit"), QStringLiteral("1"));
    const bool ended = p.waitForFinished(5000);
    if (!ended)
        p.kill();
    r.cleanEnd = ended && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0
                 && SettingsStore::GetSetting(App, Section, QStringLiteral("Running")) == QLatin1String("0");
    return cpuStart >= 0 && cpuEnd >= 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    int seconds = 60;
    QList<int> types{2, 0};
    bool nullAudio = false;
    QString beeper = QStringLiteral(BRINDLE_BEEPER_PATH);
    QStringList positional;
    const QStringList args = app.arguments().mid(1);
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--null-audio"))
            nullAudio = true;
        else if (args[i] == QLatin1String("--beeper") && i + 1 < args.size())
            beeper = args[++i];
        else
            positional << args[i];
    }
    if (!positional.isEmpty()) {
        bool ok = false;
        seconds = positional[0].toInt(&ok);
        if (!ok || seconds * 1000 <= SettleMs + 1000) {
            std::fprintf(stderr, "usage: bench_beeper [seconds > 3] [types, e.g. 2,0] [--null-audio] [--beeper PATH]\n");
            return 2;
        }
    }
    if (positional.size() > 1) {
        types.clear();
        for (const QString &t : positional[1].split(QLatin1Char(','), Qt::SkipEmptyParts))
            types << t.toInt();
    }

    std::printf("beeper %s, Interval 1000, %d s per run, audio: %s\n", qPrintable(beeper), seconds,
                nullAudio ? "ALSA null device" : "default output");
    std::printf("%-8s %6s %12s %12s %10s %10s %10s %s\n", "BeepType", "ticks", "cpu steady", "cpu life",
                "RSS 2s", "RSS end", "HWM", "verdict");
    bool allGood = true;
    for (int type : types) {
        Result r;
        if (!runOnce(beeper, type, seconds, nullAudio, r)) {
            std::printf("%-8d run failed\n", type);
            allGood = false;
            continue;
        }
        const int expectedTicks = (seconds * 1000 - 500) / 1000; // one a second after the first
        const int tonesPerTick = type == 0 ? 2 : (type == 1 || type == 2) ? 1 : 0;
        const bool ticked = tonesPerTick == 0 || r.ticks >= (expectedTicks - 2) * tonesPerTick;
        const bool good = r.steadyPercent < CpuTargetPercent && r.hwmMB < MemoryTargetMB && ticked && r.cleanEnd;
        allGood = allGood && good;
        std::printf("%-8d %6d %11.3f%% %11.3f%% %7.1f MB %7.1f MB %7.1f MB %s%s%s\n", type, r.ticks,
                    r.steadyPercent, r.lifePercent, r.rssEarlyMB, r.rssMB, r.hwmMB, good ? "ok" : "MISSED",
                    ticked ? "" : " (too few tones)", r.cleanEnd ? "" : " (did not end cleanly)");
    }
    std::printf("targets: cpu steady < %.1f %% of one core, HWM < %.0f MB\n", CpuTargetPercent, MemoryTargetMB);
    return allGood ? 0 : 1;
}
