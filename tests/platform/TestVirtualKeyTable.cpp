// The virtual-key code <-> keysym table: the codes spc_keys.dat stores must
// find the keys an X keyboard sends, and back.
#include "platform/linux/VirtualKeyTable.h"

#include <QtTest>

#include <X11/Xlib.h>
#include "platform/linux/XlibUndef.h"

namespace vk = platform::vk;

namespace {
unsigned long sym(const char *name)
{
    return XStringToKeysym(name);
}
} // namespace

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
        const unsigned long s = sym(keysym.toLatin1().constData());
        QVERIFY2(s != 0, "unknown keysym name in the test");
        QCOMPARE(vk::fromKeysym(s), code);
    }

    // A keysym listed under a code must find that code again; only the generic
    // Shift/Control/Alt codes resolve to the sided ones.
    void everyKeysymOfACodeLeadsBack()
    {
        int listed = 0;
        for (int code = 1; code < 256; ++code) {
            for (unsigned long s : vk::keysymsFor(code)) {
                ++listed;
                const int back = vk::fromKeysym(s);
                if (code >= 16 && code <= 18)
                    QVERIFY2(back >= 160 && back <= 165, qPrintable(QString::number(code)));
                else if (code == 3)
                    QCOMPARE(back, 3);
                else
                    QVERIFY2(back == code, qPrintable(QStringLiteral("%1 -> %2 -> %3")
                                                          .arg(code).arg(XKeysymToString(s)).arg(back)));
            }
        }
        QVERIFY(listed > 150);
        QCOMPARE(vk::fromKeysym(0), 0); // NoSymbol
    }
};

QTEST_APPLESS_MAIN(TestVirtualKeyTable)
#include "TestVirtualKeyTable.moc"
