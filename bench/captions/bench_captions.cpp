// bench_captions tick [runs]      one CaptionParser tick over 200 buttons, 100
//                                 of them with variables (the drive cache
//                                 warm); offscreen unless QT_QPA_PLATFORM says
//                                 otherwise. Prints the median and the slowest.
// bench_captions live-menu FOLDER rewrites FOLDER/settings.dat so that its
//                                 buttons show live captions and the
//                                 information bar runs, for idle-cpu.sh:
//   cp -r build/app /tmp/live && build/bench/captions/bench_captions live-menu /tmp/live
//   bench/menu/idle-cpu.sh /tmp/live
#include "base/modGlobals.h"
#include "captions/CaptionVariables.h"
#include "captions/LiveSystemSource.h"
#include "data/SettingsFile.h"
#include "menu/MenuButtons.h"

#include <Clock.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <ctime>

using modGlobals::SS;

namespace {

// Captions with variables, as a parent would write them.
const char *const LiveCaptions[] = {
    "%time%", "Play %playtime%", "%dayname% %day%", "Free %freespace(C)%",
    "Memory %memusage% %", "CPU %cpuusage% %", "%date%", "Hello %username%",
};

void report(const char *what, QList<double> ms)
{
    std::sort(ms.begin(), ms.end());
    std::printf("  %-15s median %.3f ms   90th %.3f ms   slowest %.3f ms\n", what, ms.at(ms.size() / 2),
                ms.at(ms.size() * 9 / 10), ms.last());
}

double threadMs()
{
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

int tick(int runs)
{
    SettingsFile::MakeClearState(SS);
    const int count = 200;
    SS.Buttons.redim(count - 1);
    SS.ButtonsMax = count - 1;
    for (int i = 0; i < count; ++i) {
        BUTTON &b = SS.Buttons.at(i);
        b.Caption = i % 2 ? QString::fromLatin1(LiveCaptions[(i / 2) % std::size(LiveCaptions)])
                          : QStringLiteral("Game %1").arg(i);
        b.InUse = 1;
        b.Enabled = VbTrue;
        b.Width = 100;
        b.Height = 40;
        b.Left = (i % 20) * 100;
        b.Top = (i / 20) * 40;
    }
    QWidget form;
    form.resize(2000, 400);
    MenuButtons buttons(&form, [] { return false; });
    buttons.LoadButtons(-1);
    LiveSystemSource system;
    system.StartProcessorUsage();
    CaptionVariables captions(system);
    Clock::setNow(QDateTime::currentDateTime());
    captions.ParseCaptions(buttons, false); // fills the drive cache

    QList<double> ms, wall;
    for (int i = 0; i < runs; ++i) {
        Clock::advance(1); // every tick shows a new time, as in the menu
        // Processor time of this thread, so that a busy machine's other
        // work does not count.
        const double start = threadMs();
        QElapsedTimer clock;
        clock.start();
        captions.ParseCaptions(buttons, false);
        ms.append(threadMs() - start);
        wall.append(clock.nsecsElapsed() / 1e6);
        QCoreApplication::processEvents(); // the repaints happen between ticks
    }
    // Every 21st tick also refills the drive cache.
    std::printf("CaptionParser tick, 200 buttons, 100 with variables (%d runs, target under 2 ms):\n", runs);
    report("processor time", ms);
    report("wall time", wall);
    return 0;
}

int liveMenu(const QString &folder)
{
    const QString path = folder + QStringLiteral("/settings.dat");
    if (SettingsFile::LoadFile(path, SS)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        return 1;
    }
    for (int i = 0; i <= SS.ButtonsMax && SS.Buttons.has(i); ++i)
        SS.Buttons.at(i).Caption = QString::fromLatin1(LiveCaptions[i % std::size(LiveCaptions)]);
    SS.ShowStatusBar = VbTrue;
    SS.ShowSystemInfoBar = VbTrue;
    SS.ShowActiveApps = VbTrue;
    if (SettingsFile::SaveFile(path, SS)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QByteArray mode = argc > 1 ? QByteArray(argv[1]) : QByteArray("tick");
    if (mode == "tick")
        return tick(argc > 2 ? QByteArray(argv[2]).toInt() : 200);
    if (mode == "live-menu" && argc > 2)
        return liveMenu(QString::fromLocal8Bit(argv[2]));
    std::fprintf(stderr, "usage: bench_captions tick [runs] | live-menu FOLDER\n");
    return 2;
}
