// bench_menu build [runs]        LoadButtons(-1) of 200 buttons with pictures
//                                (offscreen unless QT_QPA_PLATFORM says otherwise)
// bench_menu tick [programs] [fixture]
//                                one checkProcess tick over programs (20) that
//                                all answer their pings; needs an X display
//                                with a window manager (run-under-xvfb)
// bench_menu drag [runs]         edit mode: a selection of 50 buttons dragged
//                                across the screen in 200 pointer moves, each
//                                move with the repaint it causes
// bench_menu stats [rows]         the statistics of one start and one end of a
//                                program, in a table of rows (100,000) others
// Prints the median, the 95th and 99th percentiles and the slowest run in
// milliseconds.
#include "frmMenu.h"
#include "menu/MenuButtons.h"
#include "base/modGlobals.h"
#include "platform/Services.h"
#include "base/Prompts.h"
#include "programs/ProcessWatch.h"
#include "stats/StatsStore.h"

#include <Command.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <ctime>

using modGlobals::SS;

namespace {

// No one answers questions in a benchmark; a hang question is only reported.
class ReportingPrompts : public Prompts
{
public:
    std::optional<QString> askPassword(const QString &) override { return std::nullopt; }
    HangChoice askNotResponding(const QString &caption, const QString &) override
    {
        std::fprintf(stderr, "%s\n", qPrintable(caption));
        return HangChoice::Cancel;
    }
    std::optional<ExpiredAnswer> askTimeExpired() override { return std::nullopt; }
    ShutdownChoice askShutdown() override { return ShutdownChoice::Cancel; }
    void showTaskList() override {}
    void showStatistics() override {}
    std::optional<BUTTON> editButton(const std::optional<BUTTON> &) override { return std::nullopt; }
    std::optional<PresetList> showPresets(const PresetList &) override { return std::nullopt; }
    bool showSettings(const std::function<void()> &) override { return false; }
    bool showLinksEditor() override { return false; }
    void showAbout() override {}
};

void report(const char *what, QList<double> ms)
{
    std::sort(ms.begin(), ms.end());
    std::printf("%-48s median %8.2f ms   95%% %8.2f ms   99%% %8.2f ms   slowest %8.2f ms   (%lld runs)\n", what,
                ms.at(ms.size() / 2), ms.at(ms.size() * 95 / 100), ms.at((ms.size() * 99 - 1) / 100), ms.last(),
                static_cast<long long>(ms.size()));
}

// A picture file per button, as a parent's menu has.
QString writePicture(const QString &folder, int i)
{
    QImage art(128, 128, QImage::Format_RGB32);
    art.fill(QColor::fromHsv((i * 37) % 360, 120, 250));
    QPainter p(&art);
    p.setBrush(QColor::fromHsv((i * 53) % 360, 200, 200));
    p.drawEllipse(16, 16, 96, 96);
    p.end();
    const QString name = QStringLiteral("pics/p%1.bmp").arg(i);
    QDir(folder).mkpath(QStringLiteral("pics"));
    art.save(folder + QLatin1Char('/') + name, "BMP");
    return QStringLiteral(".\\") + QString(name).replace(QLatin1Char('/'), QLatin1Char('\\'));
}

BUTTON record(int i, const QString &picture)
{
    BUTTON b;
    b.Caption = QStringLiteral("Program %1").arg(i);
    b.TextAlignment = 1;
    b.BackColor = 0x00C4F3FF;
    b.ForeColor = 0x00383226;
    b.FontName = QStringLiteral("DejaVu Sans");
    b.FontBold = VbTrue;
    b.FontSize = 12;
    b.PicturePath = picture;
    b.Width = 180;
    b.Height = 90;
    b.Left = 10 + (i % 10) * 190;
    b.Top = 10 + (i / 10) * 100;
    b.Enabled = VbTrue;
    b.Link = QStringLiteral("/usr/bin/true");
    b.InUse = 1;
    b.OneInstance = VbTrue;
    b.Bevel = VbTrue;
    b.ExtraCount = 5;
    b.ExtraStrings.redim(5);
    b.ExtraStrings.at(1) = QStringLiteral("1");
    return b;
}

int benchBuild(int runs)
{
    QTemporaryDir folder;
    modGlobals::SetAppPath(folder.path());
    const int count = 200;
    SS.Buttons.redim(count - 1);
    SS.ButtonsMax = count - 1;
    for (int i = 0; i < count; ++i)
        SS.Buttons.at(i) = record(i, writePicture(folder.path(), i));
    QWidget form;
    form.resize(1920, 2100);
    MenuButtons buttons(&form, [] { return false; });
    form.show();
    QCoreApplication::processEvents();

    QList<double> build, painted;
    for (int r = 0; r < runs; ++r) {
        QElapsedTimer t;
        t.start();
        buttons.LoadButtons(-1);
        build << t.nsecsElapsed() / 1e6;
        // The unloaded controls go, and every button paints once.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        form.repaint();
        painted << t.nsecsElapsed() / 1e6;
    }
    if (buttons.UBound() != count - 1 || buttons.Menu(count - 1)->Picture().isNull()) {
        std::fprintf(stderr, "the menu was not built\n");
        return 1;
    }
    report("LoadButtons(-1), 200 buttons with pictures", build);
    report("  ... and the first paint of all of them", painted);

    // Program and document icons from the icon theme instead of picture files.
    QFile program(folder.path() + QStringLiteral("/run.sh"));
    program.open(QIODevice::WriteOnly);
    program.write("#!/bin/sh\n");
    program.close();
    program.setPermissions(program.permissions() | QFile::ExeOwner);
    QFile document(folder.path() + QStringLiteral("/story.txt"));
    document.open(QIODevice::WriteOnly);
    document.close();
    for (int i = 0; i < count; ++i)
        SS.Buttons.at(i).PicturePath = i % 2 ? QStringLiteral(".\\run.sh") : QStringLiteral(".\\story.txt");
    QList<double> icons, refresh;
    for (int r = 0; r < runs; ++r) {
        QElapsedTimer t;
        t.start();
        buttons.LoadButtons(-1);
        icons << t.nsecsElapsed() / 1e6;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        t.restart();
        buttons.RefreshPictures(); // forgets the icons first
        refresh << t.nsecsElapsed() / 1e6;
    }
    if (buttons.Menu(1)->Picture().size() != QSize(32, 32)) {
        std::fprintf(stderr, "no program icons\n");
        return 1;
    }
    report("LoadButtons(-1), 200 buttons with theme icons", icons);
    report("RefreshPictures, 200 buttons with theme icons", refresh);
    return 0;
}

int benchTick(int programs, const QString &fixture, int ticks)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::fprintf(stderr, "tick needs an X display (tests/x11/run-under-xvfb)\n");
        return 2;
    }
    QTemporaryDir folder;
    modGlobals::SetAppPath(folder.path());
    SS.Buttons.redim(programs - 1);
    SS.ButtonsMax = programs - 1;
    for (int i = 0; i < programs; ++i) {
        SS.Buttons.at(i) = record(i, QString());
        SS.Buttons.at(i).Link = fixture;
    }
    SS.ResponseTimeout = 10;
    QWidget form;
    MenuButtons buttons(&form, [] { return false; });
    StatsStore stats;
    ReportingPrompts prompts;
    ProcessWatch watch(buttons, &stats, prompts, &form);
    QObject::connect(&buttons, &MenuButtons::rebuilt, &watch, &ProcessWatch::Redim);
    buttons.LoadButtons(-1);

    auto &processes = platform::Services::processes();
    auto &windows = platform::Services::windows();
    QList<platform::Pid> pids;
    for (int i = 0; i < programs; ++i) {
        const platform::Pid pid =
            processes.start(fixture, QStringLiteral("--title Bench%1").arg(i), QString());
        pids << pid;
        buttons.Menu(i)->setExtraData(qint32(pid));
        watch.AddProcess(i);
    }
    QElapsedTimer wait;
    wait.start();
    for (platform::Pid pid : std::as_const(pids)) {
        while (!windows.findMainWindow(pid) && wait.elapsed() < 60000) {
            QCoreApplication::processEvents();
            QThread::msleep(20);
        }
    }
    // The ticks below are the bench's own, each 250 ms after the last.
    watch.checkProcess->stop();
    int watched = 0;
    for (const ButtonWatchEntry &entry : std::as_const(watch.ButtonWatch))
        watched += int(entry.Processes.size());

    if (qEnvironmentVariableIsSet("BENCH_MENU_PARTS")) {
        QList<double> find, ping, running;
        for (int r = 0; r < ticks; ++r) {
            QElapsedTimer t;
            t.start();
            for (platform::Pid pid : std::as_const(pids))
                processes.isRunning(pid);
            running << t.nsecsElapsed() / 1e6;
            t.restart();
            QList<platform::WindowId> found;
            for (platform::Pid pid : std::as_const(pids))
                found << windows.findMainWindow(pid);
            find << t.nsecsElapsed() / 1e6;
            t.restart();
            windows.ping(found);
            for (platform::WindowId w : std::as_const(found))
                windows.pingOutstanding(w);
            ping << t.nsecsElapsed() / 1e6;
            // The answers come in between two ticks.
            QThread::msleep(20);
            QCoreApplication::processEvents();
        }
        report("  isRunning x programs", running);
        report("  findMainWindow x programs", find);
        report("  ping and pingOutstanding x programs", ping);
    }
    // A tick sends the pings and reads the answers that came in since the
    // last one, 250 ms before, as the timer runs it.
    auto cpuMs = [] {
        timespec ts{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
        return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
    };
    QList<double> ms, cpu;
    for (int r = 0; r < ticks; ++r) {
        QElapsedTimer t;
        t.start();
        const double before = cpuMs();
        watch.checkProcess_Timer();
        cpu << cpuMs() - before;
        ms << t.nsecsElapsed() / 1e6;
        QThread::msleep(250);
        QCoreApplication::processEvents();
    }
    int still = 0;
    for (const ButtonWatchEntry &entry : std::as_const(watch.ButtonWatch))
        still += int(entry.Processes.size());
    for (platform::Pid pid : std::as_const(pids))
        ::kill(pid_t(pid), SIGTERM);
    if (watched != programs || still != programs) {
        std::fprintf(stderr, "watched %d, still watched %d of %d\n", watched, still, programs);
        return 1;
    }
    report(qPrintable(QStringLiteral("checkProcess tick, %1 answering programs").arg(programs)), ms);
    report("  the shell's own processor time in it", cpu);
    return 0;
}

int benchStats(int rows, int runs)
{
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("stats.db"));
    if (!QFile::copy(QStringLiteral(BRINDLE_STATS_DB), file)
        || !QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner)) {
        std::fprintf(stderr, "no statistics database at %s\n", BRINDLE_STATS_DB);
        return 1;
    }
    StatsStore stats;
    if (!stats.Open(file))
        return 1;
    QSqlQuery fill(stats.Database());
    fill.prepare(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?) "
                                "INSERT INTO TAB_STAT (Caption, Path) SELECT 'Game ' || i, '/usr/games/Game' || i || ' \"\"' FROM n"));
    fill.addBindValue(rows);
    if (!fill.exec())
        return 1;
    fill.finish();
    // As the shell finds it at start-up.
    stats.Close();
    if (!stats.Open(file))
        return 1;
    QList<double> start, end, first;
    for (int r = 0; r < runs; ++r) {
        BUTTON b = record(r, QString());
        b.Link = QStringLiteral("/usr/games/game%1").arg(1 + (r * 7919) % rows); // other letter case
        QElapsedTimer t;
        t.start();
        stats.AddExecution(b);
        start << t.nsecsElapsed() / 1e6;
        t.restart();
        stats.UpdateSeconds(b, QDateTime::currentDateTime().addSecs(-60));
        end << t.nsecsElapsed() / 1e6;
        b.Link = QStringLiteral("/usr/games/new%1").arg(r);
        t.restart();
        stats.AddExecution(b);
        first << t.nsecsElapsed() / 1e6;
    }
    QSqlQuery count(stats.Database());
    if (!count.exec(QStringLiteral("SELECT count(*), sum(Executions) FROM TAB_STAT")) || !count.next()
        || count.value(0).toInt() != rows + runs || count.value(1).toInt() != 2 * runs) {
        std::fprintf(stderr, "the starts were not counted in the right rows\n");
        return 1;
    }
    report(qPrintable(QStringLiteral("AddExecution, %1 rows").arg(rows)), start);
    report(qPrintable(QStringLiteral("UpdateSeconds, %1 rows").arg(rows)), end);
    report(qPrintable(QStringLiteral("AddExecution of a new program, %1 rows").arg(rows)), first);
    return 0;
}

void send(QWidget *to, QEvent::Type type, const QPoint &at, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, at, to->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      buttons, Qt::NoModifier);
    QApplication::sendEvent(to, &event);
}

int benchDrag(int runs)
{
    QTemporaryDir folder;
    modGlobals::SetAppPath(folder.path());
    const int count = 50;
    SS.SnapToGrid = 1;
    SS.GridSize = 30;
    SS.Buttons.redim(count - 1);
    SS.ButtonsMax = count - 1;
    for (int i = 0; i < count; ++i) {
        BUTTON &b = SS.Buttons.at(i) = record(i, writePicture(folder.path(), i));
        b.Width = 120;
        b.Height = 60;
        b.Left = 10 + (i % 10) * 130;
        b.Top = 10 + (i / 10) * 70;
    }
    ReportingPrompts prompts;
    frmMenu menu(nullptr, &prompts);
    menu.resize(1920, 1080);
    menu.LoadButtons(-1);
    menu.show();
    QCoreApplication::processEvents();
    menu.findChild<QAction *>(QStringLiteral("mnuEditMode"))->trigger();
    QKeyEvent selectAll(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier);
    QApplication::sendEvent(&menu, &selectAll);

    QList<double> ms;
    const QPoint press(60, 30);
    const QPoint step(3, 3);
    const int moves = 200;
    for (int r = 0; r < runs; ++r) {
        Command *pressed = menu.Menu(0);
        const QPoint start = pressed->pos();
        send(pressed, QEvent::MouseButtonPress, press, Qt::LeftButton);
        // The pressed button follows the pointer, so each move lands one step
        // from the press point inside it.
        for (int m = 0; m < moves; ++m) {
            QElapsedTimer t;
            t.start();
            send(pressed, QEvent::MouseMove, press + (r % 2 ? -step : step), Qt::LeftButton);
            QCoreApplication::processEvents();
            ms << t.nsecsElapsed() / 1e6;
        }
        send(pressed, QEvent::MouseButtonRelease, press, Qt::NoButton);
        QCoreApplication::processEvents();
        const QPoint travelled = pressed->pos() - start;
        // Dropping snaps each button to the grid, by up to half a step.
        const int spread = SS.Buttons.at(count - 1).Top - pressed->y();
        if (std::abs(travelled.x()) < moves * step.x() - 30 || std::abs(spread - 280) > 30) {
            std::fprintf(stderr, "the selection did not follow the pointer\n");
            return 1;
        }
    }
    report("drag of 50 selected buttons, per pointer move", ms);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("build");
    if (mode != QLatin1String("tick") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (mode == QLatin1String("build"))
        return benchBuild(argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 20);
    if (mode == QLatin1String("drag"))
        return benchDrag(argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 10);
    if (mode == QLatin1String("tick")) {
        const int programs = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 20;
#ifdef BRINDLE_TESTAPP
        QString fixture = QStringLiteral(BRINDLE_TESTAPP);
#else
        QString fixture;
#endif
        if (argc > 3)
            fixture = QString::fromLocal8Bit(argv[3]);
        if (fixture.isEmpty()) {
            std::fprintf(stderr, "name the fixture program: bench_menu tick 20 /path/brindle_testapp\n");
            return 2;
        }
        return benchTick(programs, fixture, 100);
    }
    if (mode == QLatin1String("stats"))
        return benchStats(argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 100000, 200);
    std::fprintf(stderr, "usage: bench_menu build [runs] | drag [runs] | tick [programs] [fixture] | stats [rows]\n");
    return 2;
}
