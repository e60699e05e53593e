// The shell's remote server against a raw TCP client, with a fake shell
// behind it.
#include "Clock.h"
#include "base/modGlobals.h"
#include "remote/RemoteHost.h"
#include "remote/RemoteServer.h"
#include "SettingsStore.h"
#include "TestEnv.h"
#include "Tones.h"

#include <QTcpSocket>
#include <QtTest>

namespace {

// state names what holds: "paused", "expired", "passwordDialog", "debug",
// "hugelist", "locked".
class FakeHost : public RemoteHost
{
public:
    bool is(const char *flag) const { return state.contains(QLatin1String(flag)); }
    qint64 TimeLeftSeconds() const override { return is("paused") ? 42 : -1; }
    bool ClockPaused() const override { return is("paused"); }
    bool ResetTime(const QString &playTime) override
    {
        calls << QStringLiteral("ResetTime");
        return playTime.isEmpty() || SettingsStore::SaveSetting("Brindle", "TimeLimit", "PlayTime", playTime);
    }
    void AddExtraTime(int minutes) override { calls << QStringLiteral("Extra %1").arg(minutes); }
    bool Locked() const override { return is("locked"); }
    void SetLocked(bool locked) override { calls << QStringLiteral("Lock %1").arg(locked); }
    bool ExpiredDialogOpen() const override { return is("expired"); }
    void ReleaseExpiredDialog() override { calls << QStringLiteral("Release"); }
    bool PasswordDialogOpen() const override { return is("passwordDialog"); }
    void ClosePasswordDialog() override { calls << QStringLiteral("ClosePassword"); }
    PasswordKey ParentKey() const override { return key; }
    QList<Button> LinkedButtons() const override
    {
        if (is("hugelist")) // 2 MB
            return QList<Button>(20000, {1, QString(100, QLatin1Char('x'))});
        return {{0, "Paint"}, {2, "Ga\r\nmes"}};
    }
    void ExecuteButton(int index) override { calls << QStringLiteral("Execute %1").arg(index); }
    bool DebugMode() const override { return is("debug"); }
    void PowerOff() override { calls << QStringLiteral("PowerOff"); }

    QString state;
    PasswordKey key;
    QStringList calls;
};

PasswordKey someKey(char fill)
{
    return {QByteArray(16, fill), PasswordKey::MinIterations, QByteArray(PasswordKey::KeyLength, fill)};
}

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
    void initTestCase()
    {
        Tones::setSink(std::make_unique<ToneLog>(m_host.calls));
        modGlobals::SetAppPath(m_env.programFolder());
    }

    void init()
    {
        m_host = FakeHost(); // the tone log keeps the same object
        m_server = std::make_unique<RemoteServer>(m_host);
        QVERIFY(m_server->Listen(0));
        Clock::setNow(QDateTime(QDate(2026, 3, 1), QTime(12, 0))); // waits move only with it
        QFile::remove(m_env.path(QStringLiteral("startup.log")));
        SettingsStore::SaveSetting(QStringLiteral("Brindle"), QStringLiteral("TimeLimit"), QStringLiteral("PlayTime"),
                                   QStringLiteral("6"));
    }

    void commands_data()
    {
        QTest::addColumn<QString>("state");   // of the fake shell
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QString>("calls");   // of the shell and tones, in order

        QTest::newRow("/sl paused") << "paused" << "/sl" << "/sp42" << "";
        QTest::newRow("/bl with gaps") << "" << "/bl" << "/bl\r\n0|Paint\r\n2|Ga  mes\r\n" << "";
        QTest::newRow("/pw none set") << "" << "/pw" << "/pw" << "";
        QTest::newRow("unknown") << "" << "/xy" << "/er" << "";
        QTest::newRow("/rt value, dialog open; joined") << "expired" << "/rt5/tm" << "/ok/tm5" << "ResetTime,Release";
        QTest::newRow("/rt keeps the value") << "" << "/rt/TM" << "/ok/tm6" << "ResetTime";
        QTest::newRow("/ex, dialogs open") << "expired,passwordDialog" << "/ex2" << "/ok"
                                          << "ClosePassword,ResetTime,Release,Execute 2";
        QTest::newRow("/ex not a number: dialogs first") << "expired,passwordDialog" << "/exPaint" << "/er"
                                                         << "ClosePassword,ResetTime,Release";
        QTest::newRow("/ex no such button") << "" << "/ex1" << "/er" << "";
        QTest::newRow("/sd") << "" << "/sd" << "/ok" << "1000 50,1500 50,1000 50,PowerOff";
        QTest::newRow("/sd debug") << "debug" << "/sd" << "/ok" << "1000 50,1000 50,1000 50";
        QTest::newRow("/xt bounds; junk") << "" << "/xt1/xt600/xt0/xt601/xt/xt-5/xt1.5/xt 5/xt0015"
                                          << "/ok/ok/er/er/er/er/er/er/er" << "Extra 1,Extra 600";
        QTest::newRow("/lk; locked /sl") << "locked,expired" << "/lk1/lk0/lk/lk2/lk10/sl"
                                         << "/ok/ok/er/er/er/lk-1" << "Lock 1,Lock 0";
    }

    void commands()
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

    void authentication_data()
    {
        // Steps "message -> reply pattern" ("C" a challenge). "{answer}" answers
        // the last challenge, "{old}" the one before, "{wrong}" with another key.
        // "+n" moves the clock on n s, "{newkey}" changes the password, "@address"
        // connects anew from there, "{closed}" waits for the server to close.
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("calls");
        QTest::addColumn<int>("logged"); // refusal lines in the start-up log
        QTest::newRow("reading is open, steering is not")
            << QStringList{"/rt -> /er", "/ex0 -> /er", "/sd -> /er", "/xt5 -> /er", "/lk0 -> /er", "/lk1 -> /er",
                           "/tm -> /tm6", "/td -> /td30#", "/sl -> /sl-1",
                           "/bl -> /bl\r\n0\\|Paint\r\n.*"} << "" << 0;
        QTest::newRow("a proof ends with the password")
            << QStringList{"/pw -> C", "{answer} -> /ok", "/rt -> /ok", "{newkey}", "/rt -> /er",
                           "/pw -> C", "+1", "{answer} -> /ok", "/rt -> /ok"} << "ResetTime,ResetTime" << 0;
        QTest::newRow("replayed answers; a right answer ends the wait")
            << QStringList{"/pw -> C", "/pw -> C", "{old} -> /er", "+1", "/pw -> C", "{answer} -> /ok",
                           "+1", "{answer} -> /er", "+1", "/pw -> C", "{answer} -> /ok"} << "" << 1;
        QTest::newRow("three wrong answers; a log line a minute")
            << QStringList{"/pw -> C", "{wrong} -> /er", "+1", "/au -> /er", "+62", "{wrong} -> /er", "{closed}"}
            << "" << 2;
        QTest::newRow("waits double, answers in a wait are not judged")
            << QStringList{"/pw -> C", "{wrong} -> /er", "+1", "/pw -> C", "{wrong} -> /er", "+1",
                           "/pw -> C", "{answer} -> /er1", "+1", "/pw -> C", "{answer} -> /ok"} << "" << 1;
        QTest::newRow("one judgement a second; other addresses do not wait")
            << QStringList{"/pw -> C", "{wrong} -> /er", "+1", "/pw -> C", "{wrong} -> /er", "@127.0.0.2",
                           "/pw -> C", "{answer} -> /er1", "+1", "/pw -> C", "{answer} -> /ok"} << "" << 1;
    }

    void authentication()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, calls);
        QFETCH(int, logged);
        m_host.key = someKey('k');
        auto client = std::make_unique<QTcpSocket>();
        connectClient(*client);
        QStringList nonces{QString(), QString()};
        for (const QString &step : steps) {
            const QString message = step.section(QLatin1String(" -> "), 0, 0);
            const QString pattern = step.endsWith(QLatin1String(" -> C"))
                ? QStringLiteral("/pw#([0-9a-f]{32})#%1#100000").arg(m_host.key.salt.toHex()) : step.section(QLatin1String(" -> "), 1);
            if (message.startsWith(QLatin1Char('+'))) {
                Clock::advance(message.mid(1).toInt());
            } else if (message == QLatin1String("{newkey}")) {
                m_host.key = someKey('n');
            } else if (message == QLatin1String("{closed}")) {
                QVERIFY(closedByServer(*client));
            } else if (message.startsWith(QLatin1Char('@'))) {
                client = std::make_unique<QTcpSocket>();
                client->bind(QHostAddress(message.mid(1)));
                connectClient(*client);
            } else {
                const QString nonce = nonces.at(nonces.size() - (message == QLatin1String("{old}") ? 2 : 1));
                const QByteArray key = message == QLatin1String("{wrong}") ? someKey('w').key : m_host.key.key;
                const QString reply = transact(*client, message.startsWith(QLatin1Char('{'))
                                                            ? "/au" + RemoteProtocol::Answer(nonce, key) : message);
                const QRegularExpressionMatch match = QRegularExpression(QRegularExpression::anchoredPattern(pattern),
                                                                         QRegularExpression::DotMatchesEverythingOption).match(reply);
                QVERIFY2(match.hasMatch(), qPrintable(step + QStringLiteral(": ") + reply));
                if (match.lastCapturedIndex() == 1)
                    nonces << match.captured(1);
            }
        }
        QCOMPARE(m_host.calls.join(QLatin1Char(',')), calls);
        const QStringList log = readLines(m_env.path(QStringLiteral("startup.log")));
        QCOMPARE(log.filter(QStringLiteral("RemoteServer()::Wrong answers from 127.0.0.1 (")).size(), logged);
    }

    void connections()
    {
        // The slot goes to a newcomer unless the parent's proven console has it;
        // the address it was taken from does not take it back at once.
        m_host.key = someKey('k');
        m_server->setAuthTimeout(300);
        QTcpSocket sibling, parent, back, third, slow, polling, trickling;
        connectClient(sibling);
        parent.bind(QHostAddress(QStringLiteral("127.0.0.2")));
        connectClient(parent);
        back.connectToHost(QHostAddress::LocalHost, m_server->Port());
        QVERIFY(closedByServer(sibling) && closedByServer(back));
        const QString nonce = transact(parent, QStringLiteral("/pw")).section(QLatin1Char('#'), 1, 1);
        QCOMPARE(transact(parent, "/au" + RemoteProtocol::Answer(nonce, m_host.key.key)), QStringLiteral("/ok"));
        third.connectToHost(QHostAddress::LocalHost, m_server->Port());
        QVERIFY(closedByServer(third));
        QCOMPARE(third.readAll(), QByteArray());
        QTest::qWait(400); // a proven console outlasts the time to prove
        QCOMPARE(transact(parent, QStringLiteral("/sl")), QStringLiteral("/sl-1"));

        // A console that hung up leaves the slot to the next one at once; one
        // that does not prove the password in time loses it.
        parent.disconnectFromHost();
        connectClient(slow);
        QVERIFY(closedByServer(slow));

        // Only complete messages keep a connection: trickled bytes do not.
        m_host.key = {};
        m_server->setIdleTimeout(300);
        connectClient(polling);
        for (int i = 0; i < 6; ++i, QTest::qWait(100))
            QCOMPARE(transact(polling, QStringLiteral("/sl")), QStringLiteral("/sl-1"));
        polling.disconnectFromHost();
        connectClient(trickling);
        for (int i = 0; i < 10 && trickling.state() == QAbstractSocket::ConnectedState; ++i, QTest::qWait(100))
            trickling.write("/");
        QCOMPARE(trickling.state(), QAbstractSocket::UnconnectedState); // while bytes still came
        QVERIFY(!RemoteServer(m_host).Listen(m_server->Port()));
    }

    void flood()
    {
        // A client that does not read its replies is held back, not buffered: the
        // server stops reading, and still answers every request once it can.
        QTcpSocket client;
        connectClient(client);
        client.setReadBufferSize(4096);
        client.write(QByteArray("/bl").repeated(100000));
        const QTcpSocket *connection = m_server->findChild<QTcpSocket *>(QStringLiteral("Winsock1(1)"));
        QTRY_VERIFY_WITH_TIMEOUT(connection->bytesToWrite() > 256 * 1024, 20000);
        QTest::qWait(200);
        QVERIFY(connection->bytesToWrite() < 257 * 1024 && connection->bytesAvailable() <= 64 * 1024);
        client.setReadBufferSize(0);
        qint64 received = 0; // 25 bytes a reply
        QTRY_COMPARE_WITH_TIMEOUT(received += client.readAll().size(), 2500000, 20000);

        // A reply of more than a megabyte that cannot leave ends the connection.
        m_host.state = QStringLiteral("hugelist");
        client.write("/bl");
        QVERIFY(closedByServer(client));
    }

private:
    void connectClient(QTcpSocket &client)
    {
        client.connectToHost(QHostAddress::LocalHost, m_server->Port());
        QCOMPARE(transact(client), QLatin1String(m_host.is("locked") ? "/weL" : "/we") + (m_host.is("expired") ? "!" : ""));
    }

    TestEnv m_env; // first: the store and $BRINDLE_PORT
    FakeHost m_host;
    std::unique_ptr<RemoteServer> m_server; // new for each test: waits start afresh
};

QTEST_GUILESS_MAIN(TestRemoteServer)
#include "TestRemoteServer.moc"
