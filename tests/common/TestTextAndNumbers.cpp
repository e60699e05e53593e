#include <Cp1252.h>
#include <FormatSeconds.h>
#include <VbNumber.h>

#include <QTest>

class TestTextAndNumbers : public QObject
{
    Q_OBJECT

private slots:
    void cp1252_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("decodes"); // else the text only encodes to the bytes
        QTest::newRow("latin1 range") << QByteArray("Gr\xf6\xdf" "e") << QStringLiteral("Größe") << true;
        QTest::newRow("euro and dashes") << QByteArray("\x80 \x96 \x97") << QStringLiteral("€ – —") << true;
        QTest::newRow("undefined byte keeps its value") << QByteArray("\x81") << QString(QChar(0x81)) << true;
        QTest::newRow("outside the code page") << QByteArray("a\x80?c") << QStringLiteral("a€бc") << false;
    }

    void cp1252()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(bool, decodes);
        if (decodes)
            QCOMPARE(Cp1252::decode(bytes), text);
        QCOMPARE(Cp1252::encode(text), bytes);
    }

    void cp1252EveryByteRoundTrips()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        QCOMPARE(Cp1252::encode(Cp1252::decode(all)), all);
    }

    // Val reads the leading number; ValInt rounds it, halves to even.
    void val_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("whole");
        QTest::newRow("leading blanks") << QStringLiteral("   7") << 7.0 << 7;
        QTest::newRow("trailing text") << QStringLiteral("12abc") << 12.0 << 12;
        QTest::newRow("fraction, half down to even") << QStringLiteral("2.5x") << 2.5 << 2;
        QTest::newRow("half up to even") << QStringLiteral("1.5") << 1.5 << 2;
        QTest::newRow("negative half to even") << QStringLiteral("-2.5") << -2.5 << -2;
        QTest::newRow("no number") << QStringLiteral("abc") << 0.0 << 0;
        QTest::newRow("huge is clamped") << QStringLiteral("99999999999") << 99999999999.0
                                         << std::numeric_limits<int>::max();
    }

    void val()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QFETCH(int, whole);
        QCOMPARE(VbNumber::Val(text), value);
        QCOMPARE(VbNumber::ValInt(text), whole);
    }

    void formatSeconds_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("never stored") << -1.0 << QStringLiteral("00:00:00");
        QTest::newRow("sixty-one") << 61.0 << QStringLiteral("00:01:00");
        QTest::newRow("an hour") << 3600.0 << QStringLiteral("00:59:59");
        QTest::newRow("an hour and a second") << 3601.0 << QStringLiteral("01:00:00");
    }

    void formatSeconds()
    {
        QFETCH(double, seconds);
        QFETCH(QString, text);
        QCOMPARE(FormatSeconds(seconds), text);
    }
};

QTEST_APPLESS_MAIN(TestTextAndNumbers)
#include "TestTextAndNumbers.moc"
