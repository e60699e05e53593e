// The shell's remote server against a raw TCP client, with a fake shell
// behind it.
#include "remote/RemoteHost.h"
#include "remote/RemoteServer.h"
#include "SettingsStore.h"
#include "TestEnv.h"
#include "Tones.h"

#include <QTcpSocket>
#include <QtTest>

namespace {

// state names what holds: "paused", "expired", "passwordDialog", "debug",
// "nobuttons".
class FakeHost : public RemoteHost
{
public:
    bool is(const char *flag) const { return state.contains(QLatin1String(flag)); }
    qint64 TimeLeftSeconds() const override { return is("paused") ? 42 : -1; }
    bool ClockPaused() const override { return is("paused"); }
    void ResetTime() override { calls << QStringLiteral("ResetTime"); }
    bool ExpiredDialogOpen() const override { return is("expired"); }
    void ReleaseExpiredDialog() override { calls << QStringLiteral("Release"); }
    bool PasswordDialogOpen() const override { return is("passwordDialog"); }
    void ClosePasswordDialog() override { calls << QStringLiteral("ClosePassword"); }
    QString ParentPassword() const override { return password; }
    QList<Button> LinkedButtons() const override
    {
        return is("nobuttons") ? QList<Button>() : QList<Button>{{0, "Paint"}, {2, "Ga\r\nmes"}};
    }
    void ExecuteButton(int index) override { calls << QStringLiteral("Execute %1").arg(index); }
    bool DebugMode() const override { return is("debug"); }
    void PowerOff() override { calls << QStringLiteral("PowerOff"); }

    QString state, password;
    QStringList calls;
};

// Tones join the shell's calls, so their order shows too.
struct ToneLog : Tones::Sink
{
    explicit ToneLog(QStringList &calls) : log(calls) {}
    void play(int frequency, int ms) override { log << QStringLiteral("%1 %2").arg(frequency).arg(ms); }
    QStringList &log;
};

// Sends the message, if any, and takes what arrives within a moment of the
// first byte (empty after 3 s).
QString transact(QTcpSocket &client, const QString &message = QString())
{
    client.write(message.toLatin1());
    if (!QTest::qWaitFor([&] { return client.bytesAvailable() > 0; }, 3000))
        return QString();
    QTest::qWait(30);
    return QString::fromLatin1(client.readAll());
}

bool closedByServer(QTcpSocket &client)
{
    return QTest::qWaitFor([&] { return client.state() == QAbstractSocket::UnconnectedState; }, 3000);
}

} // namespace

class TestRemoteServer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void commands_data();
    void commands();
    void authentication_data();
    void authentication();
    void connections();

private:
    void connectClient(QTcpSocket &client);

    TestEnv m_env; // first: the store and $BRINDLE_PORT
    FakeHost m_host;
    RemoteServer m_server{m_host};
};

void TestRemoteServer::initTestCase()
{
    Tones::setSink(std::make_unique<ToneLog>(m_host.calls));
    QVERIFY(m_server.Listen()); // the port of $BRINDLE_PORT
    QCOMPARE(int(m_server.Port()), m_env.port());
}

void TestRemoteServer::init()
{
    m_host = FakeHost(); // the server keeps the same object
    SettingsStore::SaveSetting(QStringLiteral("Brindle"), QStringLiteral("TimeLimit"), QStringLiteral("PlayTime"),
                               QStringLiteral("6"));
}

void TestRemoteServer::connectClient(QTcpSocket &client)
{
    client.connectToHost(QHostAddress::LocalHost, m_server.Port());
    QCOMPARE(transact(client), m_host.is("expired") ? QStringLiteral("/we!") : QStringLiteral("/we"));
}

void TestRemoteServer::commands_data()
{
    QTest::addColumn<QString>("state");   // of the fake shell
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QString>("calls");   // of the shell and tones, in order

    QTest::newRow("/TM") << "" << "/TM" << "/tm6" << "";
    QTest::newRow("/sl paused") << "paused" << "/sl" << "/sp42" << "";
    QTest::newRow("/bl with gaps") << "" << "/bl" << "/bl\r\n0|Paint\r\n2|Ga  mes\r\n" << "";
    QTest::newRow("/bl none") << "nobuttons" << "/bl" << "/bl\r\n" << "";
    QTest::newRow("/pw none set") << "" << "/pw" << "/pw" << "";
    QTest::newRow("unknown") << "" << "/xy" << "/er" << "";
    QTest::newRow("/rt value, dialog open; joined") << "expired" << "/rt5/tm" << "/ok/tm5" << "ResetTime,Release";
    QTest::newRow("/rt keeps the value") << "" << "/rt/TM" << "/ok/tm6" << "ResetTime";
    QTest::newRow("/ex, dialogs open") << "expired,passwordDialog" << "/ex2" << "/ok"
                                      << "ClosePassword,ResetTime,Release,Execute 2";
    QTest::newRow("/ex not a number") << "expired" << "/exPaint" << "/er" << "";
    QTest::newRow("/ex no such button") << "" << "/ex1" << "/er" << "";
    QTest::newRow("/sd") << "" << "/sd" << "/ok" << "1000 50,1500 50,1000 50,PowerOff";
    QTest::newRow("/sd debug") << "debug" << "/sd" << "/ok" << "1000 50,1000 50,1000 50";
}

void TestRemoteServer::commands()
{
    QFETCH(QString, state);
    QFETCH(QString, message);
    QFETCH(QString, reply);
    QFETCH(QString, calls);
    m_host.state = state;
    QTcpSocket client;
    connectClient(client);
    QCOMPARE(transact(client, message), reply);
    QCOMPARE(m_host.calls.join(QLatin1Char(',')), calls);
}

void TestRemoteServer::authentication_data()
{
    // "{answer}" answers the latest challenge with the password in other
    // letters, "{old}" the one before it, "{wrong}" with another password.
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QStringList>("replies"); // patterns
    QTest::addColumn<bool>("closed");
    QTest::addColumn<QString>("calls");
    const QString challenge = QStringLiteral("/pw#[0-9a-f]{32}");
    QTest::newRow("reading is open, steering is not")
        << QStringList{"/rt", "/ex0", "/sd", "/tm", "/sl", "/bl"}
        << QStringList{"/er", "/er", "/er", "/tm6", "/sl-1", "/bl\r\n0\\|Paint\r\n.*"} << false << "";
    QTest::newRow("good answer") << QStringList{"/pw", "/au{answer}", "/rt"}
                                 << QStringList{challenge, "/ok", "/ok"} << false << "ResetTime";
    QTest::newRow("replayed answers")
        << QStringList{"/pw", "/pw", "/au{old}", "/pw", "/au{answer}", "/au{answer}"}
        << QStringList{challenge, challenge, "/er", challenge, "/ok", "/er"} << false << "";
    QTest::newRow("a challenge takes one answer") << QStringList{"/pw", "/au{wrong}", "/au{answer}", "/rt"}
                                                  << QStringList{challenge, "/er", "/er", "/er"} << false << "";
    QTest::newRow("three wrong answers") << QStringList{"/pw", "/au{wrong}", "/au", "/au{wrong}"}
                                         << QStringList{challenge, "/er", "/er", "/er"} << true << "";
}

void TestRemoteServer::authentication()
{
    QFETCH(QStringList, messages);
    QFETCH(QStringList, replies);
    QFETCH(bool, closed);
    QFETCH(QString, calls);
    m_host.password = QStringLiteral("Secret");
    QTcpSocket client;
    connectClient(client);
    QStringList challenges{QString(), QString()};
    for (qsizetype i = 0; i < messages.size(); ++i) {
        QString message = messages.at(i);
        message.replace(QLatin1String("{answer}"), RemoteProtocol::Answer(challenges.last(), QStringLiteral("SECRET")))
            .replace(QLatin1String("{old}"), RemoteProtocol::Answer(challenges.at(challenges.size() - 2), QStringLiteral("secret")))
            .replace(QLatin1String("{wrong}"), RemoteProtocol::Answer(challenges.last(), QStringLiteral("other")));
        const QString reply = transact(client, message);
        const QRegularExpression pattern(QRegularExpression::anchoredPattern(replies.at(i)),
                                         QRegularExpression::DotMatchesEverythingOption);
        QVERIFY2(pattern.match(reply).hasMatch(), qPrintable(message + QStringLiteral(" -> ") + reply));
        if (reply.startsWith(QLatin1String("/pw#")))
            challenges << reply.mid(4);
    }
    if (closed)
        QVERIFY(closedByServer(client));
    else
        QCOMPARE(client.state(), QAbstractSocket::ConnectedState);
    QCOMPARE(m_host.calls.join(QLatin1Char(',')), calls);
}

void TestRemoteServer::connections()
{
    QTcpSocket first, second, third;
    connectClient(first);
    second.connectToHost(QHostAddress::LocalHost, m_server.Port());
    QVERIFY(closedByServer(second));
    QCOMPARE(second.readAll(), QByteArray());
    QCOMPARE(transact(first, QStringLiteral("/sl")), QStringLiteral("/sl-1"));

    // A console that hung up leaves the slot to the next one at once.
    first.disconnectFromHost();
    connectClient(third);
    QCOMPARE(transact(third, QStringLiteral("/tm")), QStringLiteral("/tm6"));
    m_server.setIdleTimeout(200); // and a silent one is closed
    QVERIFY(closedByServer(third));
    QVERIFY(!RemoteServer(m_host).Listen(m_server.Port()));
}

QTEST_GUILESS_MAIN(TestRemoteServer)
#include "TestRemoteServer.moc"
