// The virtual-key table: the codes spc_keys.dat stores must find the keys an
// X keyboard sends.
#include "platform/linux/VirtualKeyTable.h"

#include <QtTest>

#include <X11/Xlib.h>
#include "platform/linux/XlibUndef.h"

namespace vk = platform::vk;

class TestVirtualKeyTable : public QObject
{
    Q_OBJECT

private slots:
    void fromKeysym_data()
    {
        QTest::addColumn<QString>("keysym");
        QTest::addColumn<int>("code");
        QTest::newRow("letter, either case") << "b" << 66;
        QTest::newRow("left Windows key") << "Super_L" << 91;
        QTest::newRow("browser back") << "XF86Back" << 166;
        for (const char *name : {"Hiragana", "eacute", "exclam", "dead_acute"})
            QTest::newRow(name) << name << 0; // no code
    }

    void fromKeysym()
    {
        QFETCH(QString, keysym);
        QFETCH(int, code);
        const unsigned long s = XStringToKeysym(keysym.toLatin1().constData());
        QVERIFY2(s != 0, "unknown keysym name in the test");
        QCOMPARE(vk::fromKeysym(s), code);
    }
};

QTEST_APPLESS_MAIN(TestVirtualKeyTable)
#include "TestVirtualKeyTable.moc"
