// bench_store: how often the shell looks at, parses and rewrites its
// settings store, Brindle.ini, while the play clock runs.
//
// In a private store with an hour of play, on a fixed clock moved 500 ms per
// tick, it counts what the shell's process does to the file:
//   idle     N ticks with nothing else happening;
//   pause    the Pause key, and then the key that ends the pause;
//   beeper   N ticks while another process rewrites the store every 20 ticks
//            (its own calls are left out).
// Looks are stat() calls on the file (whether it changed), opens are reads
// (each one parses the whole file), rewrites are renames of a new file into
// place and syncs are fsync() calls on regular files. Targets: at most one
// look on a tick that writes nothing, no open while nothing changed and at
// most one per change by another process, one rewrite with one sync for a
// pause and one for its end, the remaining time stored every 15 s. Exit
// status 1 when a target is missed.
//   bench_store [ticks=120]

#include "ScriptedPrompts.h"

#include "base/modGlobals.h"
#include "platform/Services.h"
#include "platform/fakes/FakeProcesses.h"
#include "playtime/PlayTime.h"

#include <AtomicFile.h>
#include <Clock.h>
#include <SettingsStore.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The store's path as stat() sees it, and the calls counted since the last take.
QByteArray g_storePath;
int g_looks = 0;
int g_syncs = 0;
int g_reads = 0;
int g_keys = 0;

} // namespace

// SettingsStore::GetSetting by its linker name: every value the shell reads,
// which before the copy in memory was one open and parse of the file each.
#define GET_SETTING _ZN13SettingsStore10GetSettingERK7QStringS2_S2_S2_Pb
// SettingsStore::Change::set: every key written, which was one rewrite each.
#define CHANGE_SET _ZN13SettingsStore6Change3setERK7QStringS3_S3_
#define WRAPPED(prefix, name) WRAPPED_(prefix, name)
#define WRAPPED_(prefix, name) prefix##name

extern "C" {
int __real_stat(const char *path, struct stat *st);
int __real_fsync(int fd);
QString WRAPPED(__real_, GET_SETTING)(const QString &, const QString &, const QString &, const QString &, bool *);

QString WRAPPED(__wrap_, GET_SETTING)(const QString &application, const QString &section, const QString &key,
                                      const QString &defaultValue, bool *readable)
{
    ++g_reads;
    return WRAPPED(__real_, GET_SETTING)(application, section, key, defaultValue, readable);
}

SettingsStore::Change &WRAPPED(__real_, CHANGE_SET)(SettingsStore::Change *, const QString &, const QString &,
                                                   const QString &);

SettingsStore::Change &WRAPPED(__wrap_, CHANGE_SET)(SettingsStore::Change *change, const QString &section,
                                                   const QString &key, const QString &value)
{
    ++g_keys;
    return WRAPPED(__real_, CHANGE_SET)(change, section, key, value);
}

int __wrap_stat(const char *path, struct stat *st)
{
    if (!g_storePath.isEmpty() && std::strcmp(path, g_storePath.constData()) == 0)
        ++g_looks;
    return __real_stat(path, st);
}

// Only files: the sync of the folder after a rename is part of the same write.
int __wrap_fsync(int fd)
{
    struct stat st;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode))
        ++g_syncs;
    return __real_fsync(fd);
}
}

namespace {

struct Counts {
    int reads = 0;
    int keys = 0;
    int looks = 0;
    int opens = 0;
    int rewrites = 0;
    int syncs = 0;
    int busiestQuietTick = 0; // most looks on one tick that rewrote nothing

    void add(const Counts &o)
    {
        reads += o.reads;
        keys += o.keys;
        looks += o.looks;
        opens += o.opens;
        rewrites += o.rewrites;
        syncs += o.syncs;
        if (o.rewrites == 0)
            busiestQuietTick = std::max(busiestQuietTick, o.looks);
    }
};

// Opens and renames onto one file through inotify, stat() and fsync() through
// the wrappers above. Closes are watched only so that inotify does not merge
// two opens in a row into one event.
class Probe
{
public:
    explicit Probe(const QString &path)
        : m_name(QFile::encodeName(QFileInfo(path).fileName()))
        , m_fd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        g_storePath = QFile::encodeName(path);
        ::inotify_add_watch(m_fd, QFile::encodeName(QFileInfo(path).absolutePath()).constData(),
                            IN_OPEN | IN_CLOSE | IN_MOVED_TO);
        g_reads = g_keys = g_looks = g_syncs = 0; // what came before the watch
    }
    ~Probe() { ::close(m_fd); }
    Probe(const Probe &) = delete;
    Probe &operator=(const Probe &) = delete;

    bool valid() const { return m_fd >= 0; }

    Counts take()
    {
        Counts counts;
        alignas(inotify_event) char buffer[16384];
        for (ssize_t n; (n = ::read(m_fd, buffer, sizeof buffer)) > 0;) {
            for (const char *p = buffer; p < buffer + n;) {
                const auto *event = reinterpret_cast<const inotify_event *>(p);
                if (event->len > 0 && m_name == event->name) {
                    counts.opens += (event->mask & IN_OPEN) ? 1 : 0;
                    counts.rewrites += (event->mask & IN_MOVED_TO) ? 1 : 0;
                }
                p += sizeof(inotify_event) + event->len;
            }
        }
        counts.reads = std::exchange(g_reads, 0);
        counts.keys = std::exchange(g_keys, 0);
        counts.looks = std::exchange(g_looks, 0);
        counts.syncs = std::exchange(g_syncs, 0);
        return counts;
    }

private:
    QByteArray m_name;
    int m_fd;
};

struct Targets {
    int opens;
    int rewrites;
};

// Before the copy in memory every value read opened and parsed the file, and
// every key written rewrote and synced it: reads and keys are that baseline.
void header()
{
    std::printf("%-7s %5s %6s %6s %7s %6s %10s %5s %9s %6s  %s\n", "part", "ticks", "reads", "opens", "o/read",
                "looks", "quiet-max", "keys", "rewrites", "syncs", "target");
}

bool report(const char *part, const Counts &c, int ticks, Targets t)
{
    const bool quiet = ticks == 0 || c.busiestQuietTick <= 1;
    const bool ok = c.opens <= t.opens && c.rewrites == t.rewrites && c.syncs == c.rewrites && quiet;
    std::printf("%-7s %5d %6d %6d %7.3f %6d %10d %5d %9d %6d  opens <= %d, rewrites = syncs = %d%s: %s\n", part,
                ticks, c.reads, c.opens, c.reads > 0 ? double(c.opens) / c.reads : 0.0, c.looks,
                c.busiestQuietTick, c.keys, c.rewrites, c.syncs, t.opens, t.rewrites,
                ticks > 0 ? ", looks <= 1 a quiet tick" : "", ok ? "ok" : "MISSED");
    return ok;
}

// The remaining time is stored every 15 s of counting.
int timedSaves(int ticks)
{
    return ticks / 30;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int ticks = argc > 1 ? std::max(1, std::atoi(argv[1])) : 120;
    QTemporaryDir dir;
    if (!dir.isValid() || !QDir().mkpath(dir.path() + QStringLiteral("/app")))
        return 2;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.path() + QStringLiteral("/config")));
    modGlobals::SetAppPath(dir.path() + QStringLiteral("/app/"));
    // The pause starts beeper: nothing is really started here.
    platform::Services::set(std::make_unique<platform::FakeProcesses>());
    Clock::setNow(QDateTime(QDate(2026, 1, 5), QTime(15, 0)));
    // An hour of play with the usual warning, as the settings dialog stores it.
    SettingsStore::Change setup(QStringLiteral("Brindle"));
    const QList<std::pair<const char *, QString>> start{
        {"PlayTime", QStringLiteral("12")}, {"WarnTime", QStringLiteral("9")}, {"Beep", QStringLiteral("1")},
        {"Shutdown", QStringLiteral("-1")}, {"TimeLeft", QStringLiteral("3600")},
        {"LastInit", SettingsStore::FormatDate(Clock::now())}};
    for (const auto &[key, value] : start)
        setup.set(QStringLiteral("TimeLimit"), QLatin1String(key), value);
    setup.set(QStringLiteral("Beeper"), QStringLiteral("Running"), QStringLiteral("0"));
    QString why;
    if (!setup.save(&why)) {
        std::fprintf(stderr, "cannot write the store: %s\n", qPrintable(why));
        return 2;
    }
    const QString store = SettingsStore::filePath(QStringLiteral("Brindle"));

    ScriptedPrompts prompts;
    PlayTime clock(prompts);
    clock.StartClock();
    clock.StopClock(); // ticks are driven by hand
    Probe probe(store);
    if (!probe.valid())
        return 2;
    const auto tick = [&] {
        Clock::setNow(Clock::now().addMSecs(500));
        clock.Tick();
        return probe.take();
    };
    bool ok = true;
    header();

    Counts idle;
    for (int i = 0; i < ticks; ++i)
        idle.add(tick());
    ok = report("idle", idle, ticks, {0, timedSaves(ticks)}) && ok;

    clock.PauseTimer(true);
    Counts paused;
    paused.add(probe.take());
    clock.PauseTimer(false);
    Counts resumed;
    resumed.add(probe.take());
    ok = report("pause", paused, 0, {0, 1}) && ok;
    ok = report("resume", resumed, 0, {0, 1}) && ok;

    Counts beeper;
    int changes = 0;
    for (int i = 0; i < ticks; ++i) {
        if (i % 20 == 0) {
            // Another process flips beeper's "Running"; the same size, and
            // often the same second, so only the inode tells the new file.
            QFile file(store);
            QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
            file.close();
            const bool running = bytes.contains("Running=1");
            bytes.replace(running ? "Running=1" : "Running=0", running ? "Running=0" : "Running=1");
            if (!AtomicFile::write(store, bytes))
                return 2;
            ++changes;
            probe.take(); // the other process's own calls
        }
        beeper.add(tick());
    }
    ok = report("beeper", beeper, ticks, {changes, timedSaves(ticks)}) && ok;
    return ok ? 0 : 1;
}
