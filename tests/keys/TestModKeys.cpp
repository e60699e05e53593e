#include "keys/modKeys.h"

#include "TestEnv.h"

#include <QFile>
#include <QtTest>


using KeyList = QList<SpecialKey>;

Q_DECLARE_METATYPE(KeyList)

class TestModKeys : public QObject
{
    Q_OBJECT

private slots:
    void init() { modKeys::ClearSpecialKeys(); }

    void parse_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<KeyList>("keys");

        QTest::newRow("third line without comma ends")
            << QByteArray("1,a\r\n2,b\r\nthree\r\n4,d\r\n") << KeyList{{1, "a"}, {2, "b"}};
        QTest::newRow("non-numeric key skipped")
            << QByteArray("x,a\r\n,empty\r\n  ,blank\r\n1 2,two\r\n&H1F,hex\r\n5,e\r\n") << KeyList{{5, "e"}};
        QTest::newRow("rounding halves to even")
            << QByteArray("2.5,a\r\n3.5,b\r\n-0.5,c\r\n7.49,d\r\n1e1,e\r\n.5,f\r\n+8,g\r\n")
            << KeyList{{2, "a"}, {4, "b"}, {0, "c"}, {7, "d"}, {10, "e"}, {0, "f"}, {8, "g"}};
        QTest::newRow("out of 32-bit range skipped")
            << QByteArray("99999999999,x\r\n-2147483648,min\r\n") << KeyList{{-2147483647 - 1, "min"}};
    }

    void parse()
    {
        QFETCH(QByteArray, file);
        QFETCH(KeyList, keys);
        QCOMPARE(SpecialKeysFile::Parse(file), keys);
    }

    // An old read-only file is replaced as a whole and reads back the same;
    // a missing file is an empty table.
    void saveAndLoad()
    {
        TestEnv env;
        const QString path = env.path(QStringLiteral("spc_keys.dat"));
        const KeyList keys{{172, "(MS) WEB/HOME"}, {65, "A, the letter"}, {-1, "  Größe €"}};
        modKeys::SpecialKeys = keys;
        QVERIFY(writeFile(path, "1,old\r\n"));
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner));
        modKeys::SaveSpecialKeys(path);
        QCOMPARE(readFile(path), QByteArray("172,(MS) WEB/HOME\r\n65,A, the letter\r\n-1,  Gr\xf6\xdf" "e \x80\r\n"));
        modKeys::ClearSpecialKeys();
        modKeys::LoadSpecialKeys(path);
        QCOMPARE(modKeys::SpecialKeys, keys);
        QCOMPARE(modKeys::SpecialKeyCount, 2);
        QVERIFY(QFile::remove(path));
        modKeys::LoadSpecialKeys(path);
        QCOMPARE(modKeys::SpecialKeyCount, -1);
    }

    void capture()
    {
        QVERIFY(modKeys::AddCapturedKey(172));
        QVERIFY(!modKeys::AddCapturedKey(172));
        QVERIFY(modKeys::AddCapturedKey(65));
        QVERIFY(!modKeys::AddCapturedKey(65));
        QVERIFY(modKeys::AddCapturedKey(9));
        QCOMPARE(modKeys::SpecialKeys, (KeyList{{172, "(MS) WEB/HOME"}, {65, "Unknown"}, {9, "Unknown"}}));
        QCOMPARE(modKeys::SpecialKeyCount, 2);

        // A name set by hand stays; the code is still known.
        modKeys::SpecialKeys[1].Name = QStringLiteral("letter A");
        QVERIFY(!modKeys::AddCapturedKey(65));
        QCOMPARE(modKeys::SpecialKeys[1].Name, QStringLiteral("letter A"));
    }
};

QTEST_GUILESS_MAIN(TestModKeys)
#include "TestModKeys.moc"
