// bench_remote: reply times of the shell's remote server on loopback.
//
// The server runs on this program's event loop with a fake shell behind it,
// as in the shell; a 1 ms timer on the same loop records its worst gap, which
// shows whether the loop stays responsive. A client thread with blocking
// sockets sends 10,000 "/sl" polls on one connection, then makes 1,000
// connect-greet-disconnect cycles. Reported: median, 99th percentile and
// worst of the reply time (poll to reply; connection request to greeting).
// The same runs against a bare Qt echo server first give the baseline of
// this machine's loopback, threads and event loop; on a loaded machine the
// baseline's tail grows as much as the server's.
// Last, the same client runs against the real shell (build/app/brindle in
// "/debug" on the offscreen platform, in a copy of the program folder) with
// play time counting: the remaining seconds it reports must fall with the
// wall clock all through the polls, so its timers kept ticking.
// Target: p99 under 1 ms. Exit status 1 when a target is missed or a reply
// is wrong.
//   bench_remote [polls=10000] [cycles=1000]

#include "remote/RemoteHost.h"
#include "remote/RemoteServer.h"

#include <SettingsStore.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QDir>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr double TargetP99Ms = 1.0;

class BenchHost : public RemoteHost
{
public:
    qint64 TimeLeftSeconds() const override { return 1234; }
    bool ClockPaused() const override { return false; }
    void ResetTime() override {}
    bool ExpiredDialogOpen() const override { return false; }
    void ReleaseExpiredDialog() override {}
    bool PasswordDialogOpen() const override { return false; }
    void ClosePasswordDialog() override {}
    QString ParentPassword() const override { return QStringLiteral("secret"); }
    QList<Button> LinkedButtons() const override { return {}; }
    void ExecuteButton(int) override {}
    bool DebugMode() const override { return true; }
    void PowerOff() override {}
};

// The baseline: greets and answers every read, nothing more.
class EchoServer : public QTcpServer
{
public:
    EchoServer()
    {
        connect(this, &QTcpServer::pendingConnectionAvailable, this, [this] {
            QTcpSocket *socket = nextPendingConnection();
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QTcpSocket::readyRead, socket, [socket] {
                socket->readAll();
                socket->write("/sl1234");
                socket->flush();
            });
            socket->write("/we");
            socket->flush();
        });
    }
};

struct Figures
{
    std::vector<double> pollMs, greetMs;
    int wrong = 0;
    qint64 ticks = 0;
    double worstGapMs = 0;
    qint64 firstLeft = 0, lastLeft = 0; // seconds the first and last poll reported
    double pollingSeconds = 0;
};

double percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(p * double(v.size())))];
}

void report(const char *what, const std::vector<double> &ms)
{
    std::printf("%-28s %6zu  median %.3f ms  p99 %.3f ms  worst %.3f ms\n", what, ms.size(),
                percentile(ms, 0.5), percentile(ms, 0.99), percentile(ms, 1.0));
}

// The console's side, on its own thread with blocking calls.
void runClient(quint16 port, int polls, int cycles, Figures &f)
{
    QElapsedTimer clock;
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!socket.waitForConnected(3000) || !socket.waitForReadyRead(3000)) {
        ++f.wrong;
        return;
    }
    socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    socket.readAll();
    QElapsedTimer polling;
    polling.start();
    for (int i = 0; i < polls; ++i) {
        clock.start();
        socket.write("/sl");
        socket.flush();
        if (!socket.waitForReadyRead(3000)) {
            ++f.wrong;
            break;
        }
        const QByteArray reply = socket.readAll();
        f.pollMs.push_back(double(clock.nsecsElapsed()) / 1e6);
        bool number = false;
        const qint64 left = reply.mid(3).toLongLong(&number);
        f.wrong += !reply.startsWith("/sl") || !number;
        if (i == 0)
            f.firstLeft = left;
        f.lastLeft = left;
    }
    f.pollingSeconds = double(polling.elapsed()) / 1000;
    socket.disconnectFromHost();

    for (int i = 0; i < cycles; ++i) {
        QTcpSocket console;
        clock.start();
        console.connectToHost(QHostAddress::LocalHost, port);
        const bool greeted = console.waitForConnected(3000) && console.waitForReadyRead(3000);
        f.greetMs.push_back(double(clock.nsecsElapsed()) / 1e6);
        f.wrong += !greeted || console.readAll() != "/we";
        console.disconnectFromHost();
        if (console.state() != QAbstractSocket::UnconnectedState)
            console.waitForDisconnected(3000);
    }
}

// Runs the client against the server on this thread's loop, with the ticker.
Figures measure(quint16 port, int polls, int cycles)
{
    Figures f;
    QElapsedTimer sinceTick;
    qint64 worstGapNs = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        if (f.ticks++ > 0)
            worstGapNs = std::max(worstGapNs, sinceTick.nsecsElapsed());
        sinceTick.start();
    });
    ticker.start();

    QEventLoop loop;
    QThread *client = QThread::create([&] { runClient(port, polls, cycles, f); });
    QObject::connect(client, &QThread::finished, &loop, &QEventLoop::quit);
    client->start();
    loop.exec();
    client->wait();
    delete client;
    f.worstGapMs = double(worstGapNs) / 1e6;
    return f;
}

void report(const char *server, const Figures &f)
{
    std::printf("%s\n", server);
    report("  \"/sl\" poll to reply", f.pollMs);
    report("  connect to greeting", f.greetMs);
    if (f.ticks > 0)
        std::printf("  %-26s %6lld  worst gap %.3f ms\n", "1 ms timer on the loop", f.ticks, f.worstGapMs);
}

// The real shell in a copy of the build's program folder, with play time
// counting down from an hour.
class RunningShell
{
public:
    bool start(quint16 port)
    {
        const QString from = QStringLiteral(BRINDLE_APP_DIR "/");
        const QString to = m_dir.path() + QStringLiteral("/app/");
        QDir().mkpath(to + QStringLiteral("data"));
        for (const char *name : {"brindle", "libpellet.so", "liborrery.so", "settings.dat", "data/stats.db"})
            if (!QFile::copy(from + QLatin1String(name), to + QLatin1String(name)))
                return false;
        QFile::setPermissions(to + QStringLiteral("brindle"), QFile::ReadOwner | QFile::ExeOwner);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.path() + QStringLiteral("/config"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("BRINDLE_PORT"), QString::number(port));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.path() + QStringLiteral("/config")));
        SettingsStore::SaveSetting(QStringLiteral("Brindle"), QStringLiteral("TimeLimit"), QStringLiteral("PlayTime"),
                                   QStringLiteral("12"));
        SettingsStore::SaveSetting(QStringLiteral("Brindle"), QStringLiteral("TimeLimit"), QStringLiteral("TimeLeft"),
                                   QStringLiteral("3600"));
        m_process.setProcessEnvironment(env);
        m_process.start(to + QStringLiteral("brindle"), {QStringLiteral("/debug")});
        if (!m_process.waitForStarted(5000))
            return false;
        for (int i = 0; i < 100; ++i) { // until it listens
            QTcpSocket probe;
            probe.connectToHost(QHostAddress::LocalHost, port);
            if (probe.waitForConnected(100) && probe.waitForReadyRead(1000))
                return true;
            QThread::msleep(100);
        }
        return false;
    }
    ~RunningShell()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
    }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
};

Figures measureShell(int polls, int cycles)
{
    Figures f;
    RunningShell shell;
    const quint16 port = quint16(20000 + QCoreApplication::applicationPid() % 20000);
    if (!shell.start(port)) {
        std::fprintf(stderr, "cannot start the shell on port %u\n", port);
        f.wrong = 1;
        return f;
    }
    QElapsedTimer wall;
    wall.start();
    runClient(port, polls, cycles, f);
    // One more poll, at least three seconds after the first, so that a clock
    // that stood still would show.
    QThread::msleep(ulong(std::max<qint64>(0, 3000 - wall.elapsed())));
    QTcpSocket last;
    last.connectToHost(QHostAddress::LocalHost, port);
    if (last.waitForConnected(3000) && last.waitForReadyRead(3000)) {
        last.readAll();
        last.write("/sl");
        if (last.waitForReadyRead(3000))
            f.lastLeft = last.readAll().mid(3).toLongLong();
    }
    f.pollingSeconds = double(wall.elapsed()) / 1000;
    return f;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int polls = args.value(1, QStringLiteral("10000")).toInt();
    const int cycles = args.value(2, QStringLiteral("1000")).toInt();

    QTemporaryDir store; // the server reads the settings store
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(store.path()));

    EchoServer echo;
    BenchHost host;
    RemoteServer server(host);
    if (!echo.listen(QHostAddress::LocalHost, 0) || !server.Listen(0)) {
        std::fprintf(stderr, "cannot listen: %s\n", qPrintable(server.ErrorString()));
        return 1;
    }
    QElapsedTimer wall;
    wall.start();
    const Figures baseline = measure(echo.serverPort(), polls, cycles);
    const Figures figures = measure(server.Port(), polls, cycles);
    const Figures shell = measureShell(polls, cycles);

    std::printf("bench_remote: %d polls, %d connect cycles, %.1f s\n", polls, cycles, double(wall.elapsed()) / 1000);
    report("baseline: bare Qt echo server", baseline);
    report("RemoteServer", figures);
    report("the running shell (brindle /debug)", shell);
    // The play clock ticks twice a second: from the first poll to the last the
    // reported time falls with the wall clock, give or take a second.
    const double counted = double(shell.firstLeft - shell.lastLeft);
    const bool ticking = shell.wrong == 0 && counted >= std::floor(shell.pollingSeconds) - 1;
    std::printf("  play time counted %.0f s in %.1f s of polls and connects: timers %s\n", counted, shell.pollingSeconds,
                ticking ? "kept ticking" : "STALLED");
    const auto fastEnough = [](const Figures &f) {
        return percentile(f.pollMs, 0.99) < TargetP99Ms && percentile(f.greetMs, 0.99) < TargetP99Ms;
    };
    const bool fast = fastEnough(figures) && fastEnough(shell);
    std::printf("wrong or missing replies: %d; target p99 < %.1f ms: %s\n", figures.wrong + shell.wrong, TargetP99Ms,
                fast ? "met" : "MISSED");
    return fast && ticking && figures.wrong == 0 ? 0 : 1;
}
