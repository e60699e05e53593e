// The remote console against a fake shell in the same process.
#include "ConsolePrompts.h"
#include "RememberedHosts.h"
#include "SettingsStore.h"
#include "TestEnv.h"
#include "frmMain.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

namespace {

class FakePrompts : public ConsolePrompts
{
public:
    void Warning(QWidget *, const QString &text) override { shown << text; }
    bool Confirm(QWidget *, QMessageBox::Icon, const QString &, const QString &) override { return false; }
    QString AskPassword(QWidget *, const QString &prompt, const QString &) override
    {
        shown << prompt;
        return QStringLiteral("typed");
    }
    QStringList shown;
};

// Keys of "secret" and "typed" with this salt and 100,000 rounds are Python hashlib's.
const QString Nonce = QStringLiteral("0123456789abcdef0123456789abcdef");
const QString Challenge = "/pw#" + Nonce + "#00112233445566778899aabbccddeeff#";
const char *const TypedKey = "338e1f3f66cd33570a9984b6b451c6a90aaff78edde23fcb250392dc6e7134aa";
QString answer(const char *key) { return "/au" + RemoteProtocol::Answer(Nonce, QByteArray::fromHex(key)); }

// The shell's end: takes the console's connection and reads its messages,
// leaving out the once-a-second polls.
struct FakeShell
{
    bool accept()
    {
        if (!QTest::qWaitFor([&] { return server.hasPendingConnections(); }, 3000))
            return false;
        peer.reset(server.nextPendingConnection());
        reader.Reset();
        return true;
    }
    void send(const QString &message) { peer->write(message.toLatin1()); }
    QString next()
    {
        const bool got = peer && QTest::qWaitFor([&] {
            for (const RemoteProtocol::Message &m : reader.Feed(peer->readAll())) {
                if (m.text != QLatin1String("/sl"))
                    received << m.text;
            }
            return !received.isEmpty();
        }, 3000);
        return got ? received.takeFirst() : QString();
    }

    QTcpServer server;
    std::unique_ptr<QTcpSocket> peer;
    RemoteProtocol::Reader reader;
    QStringList received;
};

template<typename T>
T *child(QWidget &window, const char *name)
{
    return window.findChild<T *>(QLatin1String(name));
}

QString statusOf(QWidget &window)
{
    return child<QLabel>(window, "Picture4")->text().trimmed();
}

} // namespace

class TestFarrow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_shell.server.listen(QHostAddress::LocalHost, quint16(m_env.port())));
    }

    void session()
    {
        FakePrompts prompts;
        frmMain window(m_host + QStringLiteral("|Secret|ignored"), &prompts);
        QVERIFY(m_shell.accept());
        const QStringList exchange{"/we", "/tm", "/tm3", "/bl", "/bl\r\n0|Paint\r\n2|Games\r\n", "/pw"};
        for (qsizetype i = 0; i + 1 < exchange.size(); i += 2) {
            m_shell.send(exchange.at(i));
            QCOMPARE(m_shell.next(), exchange.at(i + 1));
        }
        m_shell.send(Challenge + "100000");
        QCOMPARE(child<QComboBox>(window, "Combo1")->currentIndex(), 3);
        auto *list = child<QListWidget>(window, "List1");
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->item(1)->text() + list->item(1)->data(Qt::UserRole).toString(), QStringLiteral("Games2"));
        QCOMPARE(m_shell.next(), answer("f92d0c0b7758f48a976587412c2bf21b7f1dae21875133fda2983fa4cbf1ea9d"));
        QVERIFY(!child<QPushButton>(window, "Command2")->isEnabled()); // until the shell accepts
        m_shell.send(QStringLiteral("/ok"));
        QTest::qWait(50);
        QCOMPARE(statusOf(window), m_host + QStringLiteral(": welcome!"));
        QVERIFY(prompts.shown.isEmpty()); // the command-line password answered
        QCOMPARE(RememberedHosts::Load().value(0), m_host);

        // "Set New Time" only for a choice that is not in force.
        auto *combo = child<QComboBox>(window, "Combo1");
        auto *setTime = child<QPushButton>(window, "Command3");
        QTRY_VERIFY(!setTime->isEnabled());
        combo->setCurrentIndex(4);
        QTRY_VERIFY(setTime->isEnabled());
        setTime->click();
        QCOMPARE(m_shell.next(), QStringLiteral("/rt4"));
        QTRY_VERIFY(!setTime->isEnabled());
        combo->setCurrentIndex(5);
        QTRY_VERIFY(setTime->isEnabled());

        m_shell.peer->disconnectFromHost();
        QTRY_COMPARE(statusOf(window), QStringLiteral("Connection closed."));

        // The next connection asks.
        child<QPushButton>(window, "Command4")->click();
        QVERIFY(m_shell.accept());
        for (const char *message : {"/we!", "/tm0", "/bl\r\n0|Paint\r\n"}) {
            m_shell.send(QLatin1String(message));
            m_shell.next();
        }
        m_shell.send(Challenge + "100000");
        QCOMPARE(m_shell.next(), answer(TypedKey));
        QVERIFY(child<QTimer>(window, "Timer2")->isActive()); // the expired notice blinks
        QCOMPARE(prompts.shown, QStringList{QStringLiteral("Enter Brindle Password for [%1]:").arg(m_host)});
    }

    void passwordCheck_data()
    {
        QTest::addColumn<QString>("challenge");
        QTest::addColumn<QString>("verdict"); // the shell's reply to the answer
        QTest::addColumn<QString>("shown");   // the last warning, or the status
        QTest::newRow("refused") << Challenge + "100000" << "/er" << "Invalid Password!";
        QTest::newRow("not judged") << Challenge + "100000" << "/er7"
                                    << "%1 did not check the password: after wrong passwords it waits 7 s. Try again then.";
        QTest::newRow("too few rounds") << Challenge + "99999" << ""
                                        << "Error: %1 asks for the password in a form this console cannot answer.";
    }

    void passwordCheck()
    {
        QFETCH(QString, challenge);
        QFETCH(QString, verdict);
        QFETCH(QString, shown);
        FakePrompts prompts;
        frmMain window(m_host + QStringLiteral("|"), &prompts);
        QVERIFY(m_shell.accept());
        for (const char *message : {"/we", "/tm0", "/bl\r\n0|Paint\r\n"}) {
            m_shell.send(QLatin1String(message));
            m_shell.next();
        }
        m_shell.send(challenge);
        if (!verdict.isEmpty()) {
            QCOMPARE(m_shell.next(), answer(TypedKey));
            m_shell.send(verdict);
        }
        QTRY_COMPARE(verdict.isEmpty() ? statusOf(window) : prompts.shown.last(), shown.replace("%1", m_host));
        // The window shows no connection and holds none.
        QVERIFY(!window.Connected());
        QCOMPARE(child<QListWidget>(window, "List1")->count(), 0);
    }

    // A shell without a password: no question; a paused clock alternates with "PAUSED".
    void replies()
    {
        FakePrompts prompts;
        frmMain window(m_host + QStringLiteral("|"), &prompts);
        QVERIFY(m_shell.accept());
        auto *label = child<QLabel>(window, "Label3");
        const QStringList replies{"/we/pw/sl100", "/sp61", "/sp61"};
        const QStringList shown{"00:01:39", "00:01:00", "PAUSED"};
        for (qsizetype i = 0; i < replies.size(); ++i) {
            m_shell.send(replies.at(i));
            QTRY_COMPARE(label->text(), shown.at(i));
        }
        QVERIFY(prompts.shown.isEmpty());
        QVERIFY(window.Connected());
    }

    void rememberedHosts_data()
    {
        QTest::addColumn<QString>("added");
        QTest::addColumn<QString>("expected"); // hosts after, joined by blanks
        QTest::newRow("third to the front") << "h3" << "h3 h1 h2 h4 h5 h6 h7 h8 h9 h10";
        QTest::newRow("new host pushes the tenth out") << "new" << "new h1 h2 h3 h4 h5 h6 h7 h8 h9";
        QTest::newRow("letter case counts") << "H3" << "H3 h1 h2 h3 h4 h5 h6 h7 h8 h9";
        QTest::newRow("empty host") << " " << "h1 h2 h3 h4 h5 h6 h7 h8 h9 h10";
    }

    void rememberedHosts()
    {
        QFETCH(QString, added);
        QFETCH(QString, expected);
        for (int i = 1; i <= 10; ++i)
            SettingsStore::SaveSetting(QStringLiteral("Farrow"), QStringLiteral("Computers"),
                                       QStringLiteral("C%1").arg(i, 2, 10, QLatin1Char('0')), QStringLiteral("h%1").arg(i));
        RememberedHosts::Add(added);
        QCOMPARE(RememberedHosts::Load().join(QLatin1Char(' ')), expected);
    }

    // A host that cannot be remembered (a folder in the store's place) is said so.
    void hostNotRemembered()
    {
        const QString store = SettingsStore::filePath(QStringLiteral("Farrow"));
        QVERIFY(QFile::remove(store) && QDir().mkpath(store));
        FakePrompts prompts;
        frmMain window(m_host + QStringLiteral("|Secret"), &prompts);
        QVERIFY(m_shell.accept());
        QCOMPARE(prompts.shown.filter(QStringLiteral("could not be added to the remembered computers")).size(), 1);
    }

private:
    TestEnv m_env; // first: the store and the port
    const QString m_host = QStringLiteral("127.0.0.1:%1").arg(m_env.port());
    FakeShell m_shell;
};

QTEST_MAIN(TestFarrow)
#include "TestFarrow.moc"
