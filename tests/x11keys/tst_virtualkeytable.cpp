// The virtual-key code <-> keysym table: the codes spc_keys.dat stores must
// find the keys an X keyboard sends, and back.
#include "platform/linux/VirtualKeyTable.h"

#include <QtTest>

#include <X11/Xlib.h>
#undef None
#undef Bool
#undef Status

namespace vk = platform::vk;

class TestVirtualKeyTable : public QObject
{
    Q_OBJECT

private slots:
    void fromKeysym_data();
    void fromKeysym();
    void noCode_data();
    void noCode();
    void everyKeysymOfACodeLeadsBack();
    void usualKeysymComesFirst_data();
    void usualKeysymComesFirst();
    void keypad();
};

namespace {
unsigned long sym(const char *name)
{
    return XStringToKeysym(name);
}
} // namespace

void TestVirtualKeyTable::fromKeysym_data()
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
        {"BackSpace", 8}, {"Tab", 9}, {"ISO_Left_Tab", 9}, {"Return", 13}, {"KP_Enter", 13},
        {"Pause", 19}, {"Caps_Lock", 20}, {"Escape", 27}, {"space", 32}, {"Prior", 33}, {"Next", 34},
        {"End", 35}, {"Home", 36}, {"Left", 37}, {"Up", 38}, {"Right", 39}, {"Down", 40},
        {"Print", 44}, {"Insert", 45}, {"Delete", 46}, {"Help", 47},
        {"KP_Insert", 45}, {"KP_Delete", 46}, {"KP_Home", 36}, {"KP_Begin", 12},
        {"Super_L", 91}, {"Super_R", 92}, {"Menu", 93}, {"XF86Sleep", 95},
        {"KP_Multiply", 106}, {"KP_Add", 107}, {"KP_Subtract", 109}, {"KP_Decimal", 110}, {"KP_Divide", 111},
        {"Num_Lock", 144}, {"Scroll_Lock", 145},
        {"Shift_L", 160}, {"Shift_R", 161}, {"Control_L", 162}, {"Control_R", 163}, {"Alt_L", 164},
        {"Alt_R", 165}, {"ISO_Level3_Shift", 165},
        {"XF86Back", 166}, {"XF86Forward", 167}, {"XF86Refresh", 168}, {"XF86Reload", 168},
        {"XF86Stop", 169}, {"XF86Search", 170}, {"XF86Favorites", 171}, {"XF86HomePage", 172},
        {"XF86AudioMute", 173}, {"XF86AudioLowerVolume", 174}, {"XF86AudioRaiseVolume", 175},
        {"XF86AudioNext", 176}, {"XF86AudioPrev", 177}, {"XF86AudioStop", 178}, {"XF86AudioPlay", 179},
        {"XF86AudioPause", 179}, {"XF86Mail", 180}, {"XF86AudioMedia", 181}, {"XF86MyComputer", 182},
        {"XF86Calculator", 183},
        {"semicolon", 186}, {"equal", 187}, {"comma", 188}, {"minus", 189}, {"period", 190}, {"slash", 191},
        {"grave", 192}, {"bracketleft", 219}, {"backslash", 220}, {"bracketright", 221},
        {"apostrophe", 222}, {"less", 226},
    };
    for (const auto &[name, code] : named)
        QTest::newRow(name) << QString::fromLatin1(name) << code;
}

void TestVirtualKeyTable::fromKeysym()
{
    QFETCH(QString, keysym);
    QFETCH(int, code);
    const unsigned long s = sym(keysym.toLatin1().constData());
    QVERIFY2(s != 0, "unknown keysym name in the test");
    QCOMPARE(vk::fromKeysym(s), code);
}

void TestVirtualKeyTable::noCode_data()
{
    QTest::addColumn<QString>("keysym");
    QTest::newRow("Hiragana") << "Hiragana";
    QTest::newRow("XF86PowerOff") << "XF86PowerOff";
    QTest::newRow("eacute") << "eacute";
    QTest::newRow("exclam (a shifted character)") << "exclam";
    QTest::newRow("dead_acute") << "dead_acute";
}

void TestVirtualKeyTable::noCode()
{
    QFETCH(QString, keysym);
    QCOMPARE(vk::fromKeysym(sym(keysym.toLatin1().constData())), 0);
    QCOMPARE(vk::fromKeysym(0), 0);
}

// A keysym listed under a code must find that code again; only the generic
// Shift/Control/Alt codes resolve to the sided ones.
void TestVirtualKeyTable::everyKeysymOfACodeLeadsBack()
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

void TestVirtualKeyTable::usualKeysymComesFirst_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("keysym");
    QTest::newRow("A") << 65 << "a";
    QTest::newRow("left Windows") << 91 << "Super_L";
    QTest::newRow("right Windows") << 92 << "Super_R";
    QTest::newRow("browser refresh") << 168 << "XF86Refresh";
    QTest::newRow("my computer") << 182 << "XF86MyComputer";
    QTest::newRow("calculator") << 183 << "XF86Calculator";
    QTest::newRow("Insert") << 45 << "Insert";
    QTest::newRow("generic Shift") << 16 << "Shift_L";
}

void TestVirtualKeyTable::usualKeysymComesFirst()
{
    QFETCH(int, code);
    QFETCH(QString, keysym);
    const QList<unsigned long> syms = vk::keysymsFor(code);
    QVERIFY(!syms.isEmpty());
    QCOMPARE(QString::fromLatin1(XKeysymToString(syms.first())), keysym);
}

void TestVirtualKeyTable::keypad()
{
    QVERIFY(vk::isKeypad(sym("KP_0")));
    QVERIFY(vk::isKeypad(sym("KP_Insert")));
    QVERIFY(vk::isKeypad(sym("KP_Enter")));
    QVERIFY(!vk::isKeypad(sym("Insert")));
    QVERIFY(!vk::isKeypad(sym("0")));
    QVERIFY(vk::keysymsFor(0).isEmpty());
    QVERIFY(vk::keysymsFor(255).isEmpty());
}

QTEST_APPLESS_MAIN(TestVirtualKeyTable)
#include "tst_virtualkeytable.moc"
