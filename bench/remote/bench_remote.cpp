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
// Target: p99 under 1 ms. Exit status 1 when a target is missed or a reply
// is wrong.
//   bench_remote [polls=10000] [cycles=1000]

#include "remote/RemoteHost.h"
#include "remote/RemoteServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
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
        f.wrong += reply != "/sl1234";
    }
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
    std::printf("  %-26s %6lld  worst gap %.3f ms\n", "1 ms timer on the loop", f.ticks, f.worstGapMs);
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

    std::printf("bench_remote: %d polls, %d connect cycles, %.1f s\n", polls, cycles, double(wall.elapsed()) / 1000);
    report("baseline: bare Qt echo server", baseline);
    report("RemoteServer", figures);
    const bool fast = percentile(figures.pollMs, 0.99) < TargetP99Ms && percentile(figures.greetMs, 0.99) < TargetP99Ms;
    std::printf("wrong or missing replies: %d; target p99 < %.1f ms: %s\n", figures.wrong, TargetP99Ms,
                fast ? "met" : "MISSED");
    return fast && figures.wrong == 0 ? 0 : 1;
}
