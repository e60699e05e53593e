// The shared wire pieces: splitting received data and the password answer.
#include "RemoteProtocol.h"

#include <QtTest>

class TestRemoteProtocol : public QObject
{
    Q_OBJECT

private slots:
    void split_data()
    {
        // Chunks as received; expected messages, "+" marking more lines of a list.
        QTest::addColumn<QByteArrayList>("chunks");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("joined words, any case; unknown words do not split")
            << QByteArrayList{"/tm/SL/xy/au0a1b"} << QStringList{"/tm", "/SL/xy", "/au0a1b"};
        QTest::newRow("text before the first word")
            << QByteArrayList{"hello/we!/pw#00ff#0a#100000/sl5"}
            << QStringList{"hello", "/we!", "/pw#00ff#0a#100000", "/sl5"};
        QTest::newRow("captions never split a list")
            << QByteArrayList{"/bl\r\n0|Win/slide /ok\r\n2|Games\r\n/sl300"}
            << QStringList{"/bl\r\n0|Win/slide /ok\r\n2|Games\r\n", "/sl300"};
        QTest::newRow("list request and poll") << QByteArrayList{"/bl/sl"} << QStringList{"/bl", "/sl"};
        QTest::newRow("list line cut") << QByteArrayList{"/bl\r\n0|Pa", "int\r\n/sp5"}
                                       << QStringList{"/bl\r\n0|Paint\r\n", "/sp5"};
        QTest::newRow("list cut at a line end")
            << QByteArrayList{"/bl\r\n0|Paint\r\n", "2|Ga", "mes\r\n/sl1"}
            << QStringList{"/bl\r\n0|Paint\r\n", "+2|Games\r\n", "/sl1"};
        QTest::newRow("Windows-1252") << QByteArrayList{"/bl\r\n1|Caf\xe9 \x80\r\n"}
                                      << QStringList{QStringLiteral("/bl\r\n1|Caf\u00e9 \u20ac\r\n")};
    }

    void split()
    {
        QFETCH(QByteArrayList, chunks);
        QFETCH(QStringList, messages);
        RemoteProtocol::Reader reader;
        QStringList got;
        for (const QByteArray &chunk : chunks) {
            for (const RemoteProtocol::Message &m : reader.Feed(chunk))
                got << (m.listContinuation ? QStringLiteral("+") : QString()) + m.text;
        }
        QCOMPARE(got, messages);
    }

    void answer()
    {
        // References from another implementation (Python's hashlib and hmac): the
        // PBKDF2-SHA256 key of "secret" with salt 00112233…ff and 100,000 rounds.
        const QByteArray key = QByteArray::fromHex("f92d0c0b7758f48a976587412c2bf21b7f1dae21875133fda2983fa4cbf1ea9d");
        QCOMPARE(RemoteProtocol::Answer(QStringLiteral("0123456789abcdef0123456789abcdef"), key),
                 QStringLiteral("212e7a72bb04681b16b1e9810e34d6197e421d1f78aef69838cb5957267ae190"));
    }
};

QTEST_GUILESS_MAIN(TestRemoteProtocol)
#include "TestRemoteProtocol.moc"
