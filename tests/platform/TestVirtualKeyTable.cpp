// The virtual-key code <-> keysym table: the codes spc_keys.dat stores must
// find the keys an X keyboard sends, and back.
#include "platform/linux/VirtualKeyTable.h"

#include <QtTest>

#include <X11/Xlib.h>
#undef None
#undef Bool
#undef Status

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

        for (char c = 'a'; c <= 'z'; ++c) {
            QTest::addRow("%c", c) << QString(QChar(c)) << int(c - 'a' + 'A');
            QTest::addRow("%c", c - 32) << QString(QChar(c - 32)) << int(c - 'a' + 'A');
        }
        for (int d = 0; d <= 9; ++d) {
            QTest::addRow("digit %d", d) << QString::number(d) << 48 + d;
            QTest::addRow("KP_%d", d) << QStringLiteral("KP_%1").arg(d) << 96 + d;
        }
        for (int f = 1; f <= 24; ++f)
            QTest::addRow("F%d", f) << QStringLiteral("F%1").arg(f) << 111 + f;

        const QList<QPair<const char *, int>> named = {
            {"BackSpace", 8}, {"ISO_Left_Tab", 9}, {"KP_Enter", 13}, {"Pause", 19}, {"Escape", 27}, {"space", 32},
            {"Prior", 33}, {"Left", 37}, {"Down", 40}, {"Print", 44}, {"KP_Delete", 46}, {"KP_Begin", 12},
            {"Super_L", 91}, {"Super_R", 92}, {"Menu", 93}, {"XF86Sleep", 95}, {"KP_Divide", 111},
            {"Num_Lock", 144}, {"Shift_R", 161}, {"Control_L", 162}, {"ISO_Level3_Shift", 165},
            {"XF86Back", 166}, {"XF86Reload", 168}, {"XF86Stop", 169}, {"XF86HomePage", 172}, {"XF86AudioMute", 173},
            {"XF86AudioPause", 179}, {"XF86Mail", 180}, {"XF86AudioMedia", 181}, {"XF86Calculator", 183},
            {"semicolon", 186}, {"grave", 192}, {"backslash", 220}, {"less", 226},
        };
        for (const auto &[name, code] : named)
            QTest::newRow(name) << QString::fromLatin1(name) << code;
    }

    void fromKeysym()
    {
        QFETCH(QString, keysym);
        QFETCH(int, code);
        const unsigned long s = sym(keysym.toLatin1().constData());
        QVERIFY2(s != 0, "unknown keysym name in the test");
        QCOMPARE(vk::fromKeysym(s), code);
    }

    void noCode_data()
    {
        QTest::addColumn<QString>("keysym");
        QTest::newRow("Hiragana") << "Hiragana";
        QTest::newRow("eacute") << "eacute";
        QTest::newRow("exclam (a shifted character)") << "exclam";
        QTest::newRow("dead_acute") << "dead_acute";
    }

    void noCode()
    {
        QFETCH(QString, keysym);
        QCOMPARE(vk::fromKeysym(sym(keysym.toLatin1().constData())), 0);
        QCOMPARE(vk::fromKeysym(0), 0);
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
    }

    void keypad()
    {
        QVERIFY(vk::isKeypad(sym("KP_0")));
        QVERIFY(vk::isKeypad(sym("KP_Insert")));
        QVERIFY(vk::isKeypad(sym("KP_Enter")));
        QVERIFY(!vk::isKeypad(sym("Insert")));
        QVERIFY(!vk::isKeypad(sym("0")));
        QVERIFY(vk::keysymsFor(0).isEmpty());
        QVERIFY(vk::keysymsFor(255).isEmpty());
    }
};

QTEST_APPLESS_MAIN(TestVirtualKeyTable)
#include "TestVirtualKeyTable.moc"
