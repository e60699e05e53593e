// bench_startup [rounds]
// Starts "brindle /debug" on a copy of the demo program folder until its log
// says "All done", and the minimal full-screen program until its window is up,
// alternately, and reports the median of each and their ratio. Needs $DISPLAY.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <algorithm>
#include <csignal>

namespace {

const QByteArray AllDone = "frmMenu()::All done, system should be up and running!";

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

bool copyFolder(const QString &from, const QString &to)
{
    QDir().mkpath(to);
    const QDir source(from);
    for (const QFileInfo &entry : source.entryInfoList(QDir::NoDotAndDotDot | QDir::AllEntries)) {
        const QString target = to + QLatin1Char('/') + entry.fileName();
        if (entry.isDir() ? !copyFolder(entry.filePath(), target) : !QFile::copy(entry.filePath(), target))
            return false;
    }
    return true;
}

double timeMinimal()
{
    QProcess p;
    QElapsedTimer clock;
    clock.start();
    p.start(QStringLiteral(MINIMAL_WINDOW), {});
    p.waitForReadyRead(10000);
    const double ms = clock.nsecsElapsed() / 1e6;
    p.waitForFinished(10000);
    return ms;
}

double timeShell(const QString &folder)
{
    const QString log = folder + QStringLiteral("/startup.log");
    QFile::remove(log);
    QProcess p;
    QElapsedTimer clock;
    clock.start();
    p.start(folder + QStringLiteral("/brindle"), {QStringLiteral("/debug")});
    double ms = -1;
    while (clock.elapsed() < 20000) {
        QFile f(log);
        if (f.open(QIODevice::ReadOnly) && f.readAll().contains(AllDone)) {
            ms = clock.nsecsElapsed() / 1e6;
            break;
        }
        QThread::usleep(200);
    }
    ::kill(pid_t(p.processId()), SIGTERM);
    p.waitForFinished(10000);
    return ms;
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
    const int rounds = argc > 1 ? QByteArray(argv[1]).toInt() : 15;
    QTemporaryDir dir;
    const QString folder = dir.path() + QStringLiteral("/app");
    if (!copyFolder(QStringLiteral(APP_DIR), folder)) {
        out << "cannot copy the program folder" << Qt::endl;
        return 1;
    }
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.path() + QStringLiteral("/config")));

    // One untimed run each warms the file cache.
    timeMinimal();
    timeShell(folder);
    QList<double> minimal, shell;
    for (int i = 0; i < rounds; ++i) {
        minimal.append(timeMinimal());
        shell.append(timeShell(folder));
    }
    const double m = median(minimal), s = median(shell);
    out << "rounds: " << rounds << Qt::endl;
    out << "minimal full-screen Qt program: " << m << " ms (median)" << Qt::endl;
    out << "brindle /debug to \"All done\": " << s << " ms (median)" << Qt::endl;
    out << "ratio: " << (m > 0 ? s / m : 0) << " (target at most 4)" << Qt::endl;
    return 0;
}
