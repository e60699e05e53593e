// bench_wicket: how long Wicket takes from being started until its start page
// is on the screen.
//
// Runs on an X display (tests/x11/run-under-xvfb bench_wicket). Each run
// copies the built wicket into a fresh program folder whose start.html is one
// solid colour, starts it, and watches the pixel in the middle of the screen
// (Wicket centres its window there) until it shows that colour. The first run
// pays for the cold caches; the target applies to the median of the runs.
//   bench_wicket [runs=5] [--wicket PATH]
// Exit status 1 when the target is missed or a run does not finish.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace {

constexpr double TargetSeconds = 1.5;
constexpr int TimeoutMs = 30000;
constexpr unsigned long PageColour = 0x12c853; // as the page writes it: #12c853

const QByteArray StartPage =
    "<!DOCTYPE html><html><head><meta charset='utf-8'><title>Bench</title>"
    "<style>html,body{margin:0;height:100%;background:#12c853}</style></head>"
    "<body><h1>Hello!</h1></body></html>";

bool screenCentreShows(Display *display, unsigned long colour)
{
    const int screen = DefaultScreen(display);
    XImage *image = XGetImage(display, RootWindow(display, screen), DisplayWidth(display, screen) / 2,
                              DisplayHeight(display, screen) / 2, 1, 1, AllPlanes, ZPixmap);
    if (!image)
        return false;
    const unsigned long pixel = XGetPixel(image, 0, 0) & 0xffffff;
    XDestroyImage(image);
    return pixel == colour;
}

// Seconds until the start page shows, or -1.
double runOnce(Display *display, const QString &wicket)
{
    QTemporaryDir folder;
    if (!folder.isValid() || !QFile::copy(wicket, folder.filePath(QStringLiteral("wicket"))))
        return -1;
    QFile page(folder.filePath(QStringLiteral("start.html")));
    if (!page.open(QIODevice::WriteOnly) || page.write(StartPage) != StartPage.size())
        return -1;
    page.close();

    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), folder.filePath(QStringLiteral("share")));
    if (geteuid() == 0) // the engine's sandbox refuses to run as root
        environment.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
    process.setProcessEnvironment(environment);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());

    QElapsedTimer clock;
    clock.start();
    process.start(folder.filePath(QStringLiteral("wicket")), {});
    double seconds = -1;
    while (clock.elapsed() < TimeoutMs && process.state() != QProcess::NotRunning) {
        if (screenCentreShows(display, PageColour)) {
            seconds = clock.nsecsElapsed() / 1e9;
            break;
        }
        QThread::msleep(2);
    }
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(5000);
    }
    // The next run must not see this one's window.
    for (int i = 0; i < 500 && screenCentreShows(display, PageColour); ++i)
        QThread::msleep(10);
    return seconds;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString wicket = QStringLiteral(WICKET_PATH);
    const int at = args.indexOf(QStringLiteral("--wicket"));
    if (at >= 0 && at + 1 < args.size()) {
        wicket = args.at(at + 1);
        args.remove(at, 2);
    }
    const int runs = qMax(1, args.value(0, QStringLiteral("5")).toInt());

    Display *display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "bench_wicket: no X display (run it under tests/x11/run-under-xvfb)\n");
        return 2;
    }

    QList<double> times;
    for (int i = 0; i < runs; ++i) {
        const double seconds = runOnce(display, wicket);
        if (seconds < 0) {
            std::fprintf(stderr, "bench_wicket: run %d: the start page did not show\n", i + 1);
            return 1;
        }
        std::printf("run %d: start page shown after %.3f s\n", i + 1, seconds);
        std::fflush(stdout);
        times.append(seconds);
    }
    XCloseDisplay(display);

    std::sort(times.begin(), times.end());
    const double median = times.at(times.size() / 2);
    std::printf("wicket start to start.html shown: median %.3f s, fastest %.3f s, slowest %.3f s "
                "(target under %.1f s): %s\n",
                median, times.first(), times.last(), TargetSeconds,
                median < TargetSeconds ? "met" : "MISSED");
    return median < TargetSeconds ? 0 : 1;
}
