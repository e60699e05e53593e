#include <Cp1252.h>
#include <FormatSeconds.h>
#include <VbNumber.h>

#include <QTest>

class TestTextAndNumbers : public QObject
{
    Q_OBJECT

private slots:
    void cp1252Decode_data();
    void cp1252Decode();
    void cp1252EveryByteRoundTrips();
    void cp1252Encode_data();
    void cp1252Encode();
    void val_data();
    void val();
    void valIntRoundsHalfToEven_data();
    void valIntRoundsHalfToEven();
    void formatSeconds_data();
    void formatSeconds();
};

void TestTextAndNumbers::cp1252Decode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("ascii") << QByteArray("Paint 1") << QStringLiteral("Paint 1");
    QTest::newRow("latin1 range") << QByteArray("Gr\xf6\xdf" "e") << QStringLiteral("Größe");
    QTest::newRow("euro and dashes") << QByteArray("\x80 \x96 \x97") << QStringLiteral("€ – —");
    QTest::newRow("quotes") << QByteArray("\x93hi\x94") << QStringLiteral("“hi”");
    QTest::newRow("undefined byte keeps its value") << QByteArray("\x81") << QString(QChar(0x81));
}

void TestTextAndNumbers::cp1252Decode()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(Cp1252::decode(bytes), text);
    QCOMPARE(Cp1252::encode(text), bytes);
}

void TestTextAndNumbers::cp1252EveryByteRoundTrips()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    QCOMPARE(Cp1252::encode(Cp1252::decode(all)), all);
}

void TestTextAndNumbers::cp1252Encode_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("outside the code page") << QStringLiteral("a€бc") << QByteArray("a\x80?c");
    QTest::newRow("emoji is one character of two units") << QStringLiteral("x😀") << QByteArray("x??");
    QTest::newRow("empty") << QString() << QByteArray();
}

void TestTextAndNumbers::cp1252Encode()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(Cp1252::encode(text), bytes);
}

void TestTextAndNumbers::val_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("integer") << QStringLiteral("42") << 42.0;
    QTest::newRow("leading blanks") << QStringLiteral("   7") << 7.0;
    QTest::newRow("trailing text") << QStringLiteral("12abc") << 12.0;
    QTest::newRow("negative") << QStringLiteral("-1") << -1.0;
    QTest::newRow("fraction") << QStringLiteral("2.5x") << 2.5;
    QTest::newRow("no number") << QStringLiteral("abc") << 0.0;
    QTest::newRow("empty") << QString() << 0.0;
    QTest::newRow("sign only") << QStringLiteral("-") << 0.0;
    QTest::newRow("leading fraction point") << QStringLiteral(".5") << 0.5;
}

void TestTextAndNumbers::val()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(VbNumber::Val(text), value);
}

void TestTextAndNumbers::valIntRoundsHalfToEven_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::newRow("0.5") << QStringLiteral("0.5") << 0;
    QTest::newRow("1.5") << QStringLiteral("1.5") << 2;
    QTest::newRow("2.5") << QStringLiteral("2.5") << 2;
    QTest::newRow("-2.5") << QStringLiteral("-2.5") << -2;
    QTest::newRow("2.6") << QStringLiteral("2.6") << 3;
    QTest::newRow("huge is clamped") << QStringLiteral("99999999999") << std::numeric_limits<int>::max();
}

void TestTextAndNumbers::valIntRoundsHalfToEven()
{
    QFETCH(QString, text);
    QFETCH(int, value);
    QCOMPARE(VbNumber::ValInt(text), value);
}

void TestTextAndNumbers::formatSeconds_data()
{
    QTest::addColumn<double>("seconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("never stored") << -1.0 << QStringLiteral("00:00:00");
    QTest::newRow("zero") << 0.0 << QStringLiteral("00:00:00");
    QTest::newRow("below a hundredth") << 0.009 << QStringLiteral("00:00:00");
    QTest::newRow("one") << 1.0 << QStringLiteral("00:00:00");
    QTest::newRow("sixty-one") << 61.0 << QStringLiteral("00:01:00");
    QTest::newRow("an hour") << 3600.0 << QStringLiteral("00:59:59");
    QTest::newRow("an hour and a second") << 3601.0 << QStringLiteral("01:00:00");
    QTest::newRow("fraction") << 90.5 << QStringLiteral("00:01:30");
    QTest::newRow("hours not capped") << 360001.0 << QStringLiteral("100:00:00");
}

void TestTextAndNumbers::formatSeconds()
{
    QFETCH(double, seconds);
    QFETCH(QString, text);
    QCOMPARE(FormatSeconds(seconds), text);
}

QTEST_APPLESS_MAIN(TestTextAndNumbers)
#include "TestTextAndNumbers.moc"
