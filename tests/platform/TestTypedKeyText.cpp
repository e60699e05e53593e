// The texts the typing monitor hands on, from an already translated keysym.
#include "platform/linux/TypedKeyText.h"

#include <QtTest>

#include <X11/Xlib.h>
#include "platform/linux/XlibUndef.h"

using platform::keytext::forKeysym;

class TestTypedKeyText : public QObject
{
    Q_OBJECT

private slots:
    void texts_data()
    {
        QTest::addColumn<QString>("keysym");
        QTest::addColumn<bool>("caps");
        QTest::addColumn<bool>("control");
        QTest::addColumn<QString>("text");

        QTest::newRow("Pause") << "Pause" << false << false << "<pause>";
        QTest::newRow("tokens ignore Control") << "Return" << false << true << "<enter>";
        QTest::newRow("Caps Lock left over") << "r" << true << false << "R";
        QTest::newRow("Caps Lock on a Latin-1 letter") << "eacute" << true << false << "\u00c9";
        QTest::newRow("keypad digit") << "KP_7" << false << false << "7";
        QTest::newRow("Ctrl+letter") << "r" << false << true << QString(QChar(0x12));
        QTest::newRow("function key") << "F5" << false << false << "<Key:F5>";
    }

    void texts()
    {
        QFETCH(QString, keysym);
        QFETCH(bool, caps);
        QFETCH(bool, control);
        QFETCH(QString, text);
        const unsigned long s = XStringToKeysym(keysym.toLatin1().constData());
        QVERIFY2(s != 0, "unknown keysym name in the test");
        QCOMPARE(forKeysym(s, caps, control), text);
    }

    void keysWithoutCharacterCanNeverFormACommand_data()
    {
        QTest::addColumn<unsigned long>("keysym");
        for (const char *name : {"Shift_L", "F1", "dead_grave"})
            QTest::newRow(name) << (unsigned long)XStringToKeysym(name);
        QTest::newRow("keysym without a name") << 0x0000fe99ul;
        QTest::newRow("NoSymbol") << 0ul;
    }

    // The play-time commands are "rt" + a lower-cased password and "<pause>"; a
    // buffer holding such a text is never a prefix of either, so it empties.
    void keysWithoutCharacterCanNeverFormACommand()
    {
        QFETCH(unsigned long, keysym);
        for (bool caps : {false, true}) {
            const QString text = forKeysym(keysym, caps, false);
            QVERIFY2(text.startsWith(QLatin1String("<Key:")), qPrintable(text));
            QVERIFY2(text != text.toLower(), qPrintable(text)); // a capital: no lower-cased password holds it
            QVERIFY(!QStringLiteral("<pause>").startsWith(text));
        }
    }
};

QTEST_APPLESS_MAIN(TestTypedKeyText)
#include "TestTypedKeyText.moc"
