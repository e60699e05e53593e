#include "data/SettingsFile.h"

#include "TestEnv.h"

#include <QDir>
#include <QFile>
#include <QtEndian>
#include <QtTest>

#include <algorithm>

namespace {

// Every field with its own value (numbers: the field's position, texts: one
// letter), so any two fields swapped in the reader and writer alike show up.
SettingsRecord distinctRecord()
{
    BUTTON b;
    b.Caption = "A"; b.TextAlignment = 102; b.PictureAlignment = 103; b.BackColor = 104;
    b.ForeColor = 105; b.FontName = "F"; b.FontBold = 107; b.FontItalic = 108; b.FontSize = 109;
    b.PicturePath = "J"; b.Width = 111; b.Height = 112; b.Left = 113; b.Top = 114; b.Enabled = 115;
    b.Link = "P"; b.Parameters = "Q"; b.Password = "R"; b.InUse = 119; b.OneInstance = 120;
    b.StyleName = "U"; b.UseShellExecute = 122; b.SetResolution = 123; b.ScreenWidth = 124;
    b.ScreenHeight = 125; b.RefreshRate = 126; b.ColorDepth = 127; b.Selected = 128;
    b.Transparent = 129; b.Bevel = 130; b.NoGray = 131; b.PictureSize = 132; b.StartTime = 133;
    b.ExtraCount = 134; b.ExtraStrings.redim(1); b.ExtraStrings.items = {"x", "y"};

    SettingsRecord s;
    s.ShellCommandsMax = 1; s.ShellCommands.redim(0); s.ShellCommands.items = {"B"};
    s.ResponseTimeout = 3; s.SnapToGrid = 4; s.Password = "E"; s.ScreenBackColor = 6; s.Reserved1 = 7;
    s.Buttons.redim(0); s.Buttons.items = {b}; s.ButtonsMax = 9; s.FontName = "J"; s.FontSize = 11;
    s.FontItalic = 12; s.FontBold = 13; s.ScreenTextColor = 14;
    for (int i = 0; i < 17; ++i)
        s.CustomColors[i] = 0xF0 + i;
    s.Gradient1Color = 16; s.Gradient2Color = 17; s.GradientAngle = 18; s.LastPictureFolder = "S";
    s.LastFileFolder = "T"; s.BackgroundPicture = "U"; s.BackgroundStyle = 22; s.PictureStretch = 23;
    s.PictureKeepAspect = 24; s.GradientBehindPicture = 25; s.OneProcessOnly = 26;
    s.AskToCloseRunning = 27; s.ShowStatusBar = 28; s.ShowSystemInfoBar = 29; s.ShowActiveApps = 30;
    s.StatusBackColor = 31; s.StatusTextColor = 32; s.PresetsMax = 34; s.AskCloseSound = "c";
    s.CloseFirstSound = "d"; s.BeepIfNoSound = 37; s.SoundsEnabled = 38; s.WelcomeSound = "g";
    s.ExitSound = "h"; s.Reserved2 = "i"; s.ButtonFreezeSeconds = 42; s.GridSize = 43;
    s.StatsSortKey = 44; s.StatsSortOrder = 45; s.Reserved3 = "n"; s.Reserved4 = "o";
    return s;
}

QByteArray distinctGolden()
{
    return QByteArray::fromHex(
        "01000000"                                   // ShellCommandsMax
        "0100 01000000 00000000 0100 42"             // ShellCommands {"B"}
        "03000000 04000000"                          // ResponseTimeout SnapToGrid
        "0100 45"                                    // Password
        "06000000 07000000"                          // ScreenBackColor Reserved1
        "0100 01000000 00000000"                     // Buttons, one element:
        "0100 41"                                    //   Caption
        "66000000 67000000 68000000 69000000"        //   TextAlignment PictureAlignment BackColor ForeColor
        "0100 46"                                    //   FontName
        "6b00 6c00"                                  //   FontBold FontItalic
        "0000da42"                                   //   FontSize 109.0f
        "0100 4a"                                    //   PicturePath
        "6f000000 70000000 71000000 72000000"        //   Width Height Left Top
        "7300"                                       //   Enabled
        "0100 50 0100 51 0100 52"                    //   Link Parameters Password
        "77000000 7800"                              //   InUse OneInstance
        "0100 55"                                    //   StyleName
        "7a00 7b00 7c00 7d00 7e00"                   //   UseShellExecute .. RefreshRate
        "7f"                                         //   ColorDepth
        "8000 8100 8200"                             //   Selected Transparent Bevel
        "83000000 84000000 85000000 86000000"        //   NoGray PictureSize StartTime ExtraCount
        "0100 02000000 00000000 0100 78 0100 79"     //   ExtraStrings {"x", "y"}
        "09000000"                                   // ButtonsMax
        "0100 4a"                                    // FontName
        "00003041"                                   // FontSize 11.0f
        "0c00 0d00"                                  // FontItalic FontBold
        "0e000000"                                   // ScreenTextColor
        "f0000000 f1000000 f2000000 f3000000"        // CustomColors 0xF0 ..
        "f4000000 f5000000 f6000000 f7000000"
        "f8000000 f9000000 fa000000 fb000000"
        "fc000000 fd000000 fe000000 ff000000"
        "00010000"                                   //   .. 0x100
        "10000000 11000000 12000000"                 // Gradient1Color Gradient2Color GradientAngle
        "0100 53 0100 54 0100 55"                    // LastPictureFolder LastFileFolder BackgroundPicture
        "16000000"                                   // BackgroundStyle
        "1700 1800 1900 1a00 1b00 1c00 1d00 1e00"    // PictureStretch .. ShowActiveApps
        "1f000000 20000000"                          // StatusBackColor StatusTextColor
        "0000"                                       // Presets absent
        "22000000"                                   // PresetsMax
        "0100 63 0100 64"                            // AskCloseSound CloseFirstSound
        "2500 2600"                                  // BeepIfNoSound SoundsEnabled
        "0100 67 0100 68 0100 69"                    // WelcomeSound ExitSound Reserved2
        "2a000000 2b000000 2c000000 2d000000"        // ButtonFreezeSeconds GridSize StatsSortKey StatsSortOrder
        "0100 6e 0100 6f");                          // Reserved3 Reserved4
}

// What files from Windows may hold besides: texts beyond ASCII, a button
// without extra strings, presets, a long text.
SettingsRecord richRecord()
{
    SettingsRecord s = distinctRecord();
    BUTTON b = s.Buttons.items.first();
    b.Caption = QStringLiteral("Paint – Größe €");
    b.FontItalic = 1; // not a canonical truth value: kept as stored
    b.ExtraStrings.redim(5);
    b.ExtraStrings.items.last() = QString(2000, QChar(u'x'));
    BUTTON none;
    none.Caption = QStringLiteral("no extras");
    s.Buttons.items = {b, none, b};
    s.ButtonsMax = 2;
    s.Presets.redim(0);
    s.Presets.items = {b};
    s.Password = QStringLiteral("Größe – €");
    return s;
}

// The most elements any list of the record has room for: a reader that sized
// a list by its count instead of the bytes left shows here.
qsizetype largestCapacity(const SettingsRecord &s)
{
    qsizetype most = std::max({s.ShellCommands.items.capacity(), s.Buttons.items.capacity(),
                               s.Presets.items.capacity()});
    for (const VbList<BUTTON> *list : {&s.Buttons, &s.Presets})
        for (const BUTTON &b : list->items)
            most = std::max(most, b.ExtraStrings.items.capacity());
    return most;
}

} // namespace

Q_DECLARE_METATYPE(SettingsRecord)

class TestSettingsFile : public QObject
{
    Q_OBJECT

private slots:
    void distinctFieldsGoldenBytes()
    {
        const QByteArray golden = distinctGolden();
        const SettingsRecord record = distinctRecord();
        QCOMPARE(SettingsFile::Write(record).toHex(' '), golden.toHex(' '));
        SettingsRecord read;
        QVERIFY(!SettingsFile::Read(golden, read));
        QVERIFY(read == record);
    }

    void roundTrip_data()
    {
        QTest::addColumn<SettingsRecord>("record");

        QTest::newRow("rich") << richRecord();

        SettingsRecord bounds = richRecord();
        bounds.ShellCommands.lowerBound = -3;
        bounds.Buttons.lowerBound = 1;
        bounds.Buttons.items[0].ExtraStrings.lowerBound = 7;
        bounds.Presets.lowerBound = std::numeric_limits<qint32>::max();
        QTest::newRow("non-zero lower bounds") << bounds;

        SettingsRecord many;
        many.ShellCommands.redim(99999);
        many.ShellCommands.items.last() = QStringLiteral("end");
        QTest::newRow("100000 texts") << many;
    }

    void roundTrip()
    {
        QFETCH(SettingsRecord, record);
        const QByteArray bytes = SettingsFile::Write(record);
        SettingsRecord read;
        qsizetype consumed = -1;
        const auto error = SettingsFile::Read(bytes, read, &consumed);
        QVERIFY2(!error, error ? qPrintable(error->Description) : "");
        QCOMPARE(consumed, bytes.size());
        QVERIFY(read == record);
    }

    void truncatedAtEveryOffset()
    {
        const SettingsRecord full = richRecord();
        const QByteArray bytes = SettingsFile::Write(full);
        for (qsizetype length = 0; length < bytes.size(); ++length) {
            SettingsRecord read;
            const auto error = SettingsFile::Read(bytes.left(length), read);
            QVERIFY2(error, qPrintable(QString::number(length)));
            QCOMPARE(error->Number, VbErr::InputPastEndOfFile);
            QCOMPARE(read.ShellCommandsMax, length >= 4 ? full.ShellCommandsMax : 0);
        }
    }

    void malformedHeaders_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("error");

        // ShellCommandsMax, an absent ShellCommands list, four more fields, then
        // the Buttons list: dimensions, count and lower bound, one empty button.
        SettingsRecord record;
        record.ShellCommandsMax = 5;
        record.Buttons.redim(0);
        record.Buttons.items[0].ExtraStrings.redim(0);
        const QByteArray valid = SettingsFile::Write(record);
        constexpr int dims = 4 + 2 + 4 + 4 + 2 + 4 + 4, count = dims + 2, lower = count + 4;
        constexpr int extraCount = lower + 4 + SettingsFile::MinButtonBytes; // ExtraStrings' count
        auto with = [&](int offset, quint32 value) {
            QByteArray b = valid;
            qToLittleEndian(value, b.data() + offset);
            return b;
        };
        // Counts past 2^31 cannot index a list at all.
        QTest::newRow("button count 2^32-1") << with(count, 0xFFFFFFFFu) << VbErr::BadRecordLength;
        QByteArray high = with(lower, 0x7FFFFFFFu);
        qToLittleEndian(quint32(2), high.data() + count);
        QTest::newRow("upper bound past 2^31") << high << VbErr::BadRecordLength;
        QTest::newRow("extra strings count 2^31-16") << with(extraCount, 0x7FFFFFF0u) << VbErr::InputPastEndOfFile;

        // Lists no menu needs, however much data backs them.
        SettingsRecord huge;
        SettingsFile::MakeClearState(huge);
        huge.ShellCommands.redim(100000);
        QTest::newRow("100,001 texts") << SettingsFile::Write(huge) << VbErr::OutOfMemory;
        SettingsFile::MakeClearState(huge);
        huge.Buttons.redim(10000);
        QTest::newRow("10,001 buttons") << SettingsFile::Write(huge) << VbErr::OutOfMemory;
        huge.Buttons.redim(120);
        for (BUTTON &button : huge.Buttons.items)
            button.ExtraStrings.redim(3999);
        QTest::newRow("480,000 texts in buttons") << SettingsFile::Write(huge) << VbErr::OutOfMemory;
    }

    void malformedHeaders()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, error);

        SettingsRecord read;
        const auto result = SettingsFile::Read(bytes, read);
        QCOMPARE(result ? result->Number : 0, error);
        QCOMPARE(read.ShellCommandsMax, 5);
        QVERIFY2(largestCapacity(read) <= bytes.size() / 2, qPrintable(QString::number(largestCapacity(read))));
    }

    void loadFile_data()
    {
        QTest::addColumn<QString>("kind"); // "missing", "folder" or "file"
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("missingOrEmpty");
        QTest::addColumn<int>("error");

        const QByteArray rich = SettingsFile::Write(richRecord());
        QTest::newRow("missing") << "missing" << QByteArray() << true << 0;
        QTest::newRow("valid") << "file" << rich << false << 0;
        QTest::newRow("truncated") << "file" << rich.left(rich.size() / 2) << false << VbErr::InputPastEndOfFile;
        QTest::newRow("a folder") << "folder" << QByteArray() << false << VbErr::PathFileAccessError;
    }

    void loadFile()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, content);
        QFETCH(bool, missingOrEmpty);
        QFETCH(int, error);

        TestEnv env;
        const QString path = env.path(QStringLiteral("settings.dat"));
        if (kind == QLatin1String("file"))
            QVERIFY(writeFile(path, content));
        else if (kind == QLatin1String("folder"))
            QVERIFY(QDir().mkpath(path));

        SettingsRecord record = richRecord(); // whatever was there is replaced
        record.Reserved1 = 99;
        bool flag = !missingOrEmpty;
        const auto result = SettingsFile::LoadFile(path, record, &flag);
        QCOMPARE(flag, missingOrEmpty);
        QCOMPARE(result ? result->Number : 0, error);
        if (error == VbErr::InputPastEndOfFile)
            QCOMPARE(record.ShellCommandsMax, richRecord().ShellCommandsMax);
        else
            QVERIFY(record == (content.isEmpty() ? SettingsRecord() : richRecord()));
        QCOMPARE(QFileInfo::exists(path), kind != QLatin1String("missing"));
        if (kind == QLatin1String("folder")) { // nor written
            const auto saved = SettingsFile::SaveFile(path, richRecord());
            QCOMPARE(saved ? saved->Number : 0, VbErr::PathFileAccessError);
        }
    }
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "TestSettingsFile.moc"
