// Caption variables over fixed system answers, the processor and memory
// load read from the kernel's files, and the status bar.
#include "FakeSystemSource.h"
#include "MenuTestKit.h"

#include "base/modGlobals.h"
#include "captions/CaptionVariables.h"
#include "captions/StatusBar.h"
#include "captions/StatusPanel.h"
#include "captions/SystemInformation.h"
#include "captions/clsCPUUsageNT.h"

#include <Clock.h>

#include <QDir>
#include <QLabel>
#include <QTest>

using modGlobals::SS;

namespace {

// A "cpu" line of the kernel statistics: user, nice, system, idle, iowait, irq, softirq, steal.
QByteArray statText(const QByteArray &cpuTicks)
{
    return "cpu  " + cpuTicks + " 0 0\ncpu0 1 2 3 4 5 6 7 8 0 0\nintr 12345\n";
}

} // namespace

class TestCaptions : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        modGlobals::Reset();
        modGlobals::SetAppPath(m_env.programFolder());
        Clock::setNow(QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)));
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    void cleanup() { Clock::reset(); }

    void parseVariables_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("shown");
        QTest::newRow("loads, any letter case") << "en_US" << "%MemUsage% %CPUUSAGE%" << "42 17";
        QTest::newRow("drive letter case free") << "en_US" << "%FREESPACE(c)% free" << "1.50 KB free";
        QTest::newRow("used and total, every copy")
            << "en_US" << "%usedspace(C)%/%totalspace(C)% %usedspace(c)%" << "2.50 KB/4.00 KB 2.50 KB";
        QTest::newRow("empty drive argument") << "en_US" << "%freespace()%" << "%freespace()%";
        QTest::newRow("no such drive") << "en_US" << "[%totalspace(Q)%]" << "[]";
        QTest::newRow("names and address") << "en_US" << "%username%@%computername% %ipaddress%" << "kim@den 192.0.2.7";
        QTest::newRow("date and time") << "en_US" << "%date% %time%" << "3/5/24 14:07:09";
        QTest::newRow("date parts") << "en_US" << "%day%.%month%.%year%" << "05.03.2024";
        QTest::newRow("names of the regional language, capitalised")
            << "fr_FR" << "%dayname% %monthname%" << "Mardi Mars";
        QTest::newRow("play time") << "en_US" << "Left %playtime%" << "Left 01:02:04";
        QTest::newRow("not a text file, the rest goes too") << "en_US" << "Hi %textfile:notes.doc%"
                                                            << "#ILLEGAL FILE TYPE#";
        QTest::newRow("missing text file") << "en_US" << "%textfile:gone.txt%" << "#FILE NOT FOUND#";
        QTest::newRow("text file in the program folder, parsed, CR LF dropped")
            << "en_US" << "x %textfile:clock.TXT%" << "14:07:09";
        QTest::newRow("text file naming itself") << "en_US" << "%textfile:self.txt%" << "#TOO DEEP#";
        QTest::newRow("text file that cannot be read") << "en_US" << "%textfile:folder.txt%" << "";
    }

    void parseVariables()
    {
        QFETCH(QString, locale);
        QFETCH(QString, caption);
        QFETCH(QString, shown);
        QLocale::setDefault(QLocale(locale));
        QVERIFY(writeFile(m_env.path("clock.TXT"), "%time%\r\n"));
        QVERIFY(writeFile(m_env.path("self.txt"), "1 %textfile:self.txt%"));
        QVERIFY(QDir().mkpath(m_env.path("folder.txt")));
        modGlobals::TimeLeftSeconds = 3725;
        FakeSystemSource system;
        CaptionVariables variables(system);
        variables.NextTick(false);
        QCOMPARE(variables.ParseVariables(caption), shown);
    }

    // Every paused caption blinks in step, once a second.
    void pausedPlayTimeBlinks()
    {
        modGlobals::TimeLeftSeconds = 61;
        FakeSystemSource system;
        CaptionVariables variables(system);
        QStringList shown;
        for (bool paused : {true, true, true, false}) {
            variables.NextTick(paused);
            shown << variables.ParseVariables("%playtime%") + "|" + variables.ParseVariables("%playtime%");
        }
        QCOMPARE(shown, QStringList({"PAUSED|PAUSED", "00:01:00|00:01:00", "PAUSED|PAUSED", "00:01:00|00:01:00"}));
    }

    // Only drives that stored captions name are asked for, again after 20 seconds.
    void driveCache()
    {
        SS.Buttons.redim(2);
        SS.ButtonsMax = 2;
        SS.Buttons.at(0).Caption = "%freespace(c)%";
        SS.Buttons.at(1).Caption = "%usedspace(D)% %totalspace(e)% %totalspace(e)%";
        FakeSystemSource system;
        CaptionVariables variables(system);
        const auto parse = [&] { variables.ParseVariables("%freespace(c)%"); };
        parse();
        QCOMPARE(system.drivesAsked, "CDE");
        Clock::advance(20);
        parse();
        QCOMPARE(system.drivesAsked, "CDE");
        Clock::advance(1);
        parse();
        QCOMPARE(system.drivesAsked, "CDECDE");
        Clock::setNow(QDateTime(QDate(2024, 3, 6), QTime(0, 0, 1))); // back past midnight
        parse();
        QCOMPARE(system.drivesAsked, "CDECDECDE");
        // A drive that only a text file names is asked for when needed.
        variables.ParseVariables("%freespace(F)% %freespace(F)%");
        variables.ParseVariables("%freespace(F)%");
        QCOMPARE(system.drivesAsked, "CDECDECDEF");
    }

    void cpuLoad_data()
    {
        QTest::addColumn<QByteArrayList>("samples"); // the first is read at creation
        QTest::addColumn<QList<int>>("loads");       // one Query after each further sample
        const QByteArray start = "1000 0 500 8000 100 0 0 0";
        QTest::newRow("idle") << QByteArrayList{start, "1000 0 500 8200 100 0 0 0"} << QList<int>{0};
        QTest::newRow("both cores busy") << QByteArrayList{start, "1150 20 530 8000 100 0 0 0"} << QList<int>{100};
        QTest::newRow("waiting for the disk is idle")
            << QByteArrayList{start, "1100 0 500 8050 150 0 0 0"} << QList<int>{50};
        QTest::newRow("irq, softirq and steal are busy")
            << QByteArrayList{start, "1000 0 500 8100 100 30 30 40"} << QList<int>{50};
        QTest::newRow("halves round up") << QByteArrayList{start, "1149 0 0500 8051 100 0 0 0"} << QList<int>{75};
        QTest::newRow("no time passed repeats the last load")
            << QByteArrayList{start, "1100 0 500 8100 100 0 0 0", "1100 0 500 8100 100 0 0 0"} << QList<int>{50, 50};
        QTest::newRow("counters that went back start afresh")
            << QByteArrayList{start, "1100 0 500 8100 100 0 0 0", "10 0 5 80 1 0 0 0", "40 0 5 90 1 0 0 0"}
            << QList<int>{50, 50, 75};
        QTest::newRow("not the statistics file") << QByteArrayList{start, "garbage"} << QList<int>{-1};
    }

    void cpuLoad()
    {
        QFETCH(QByteArrayList, samples);
        QFETCH(QList<int>, loads);
        const QString path = m_env.path("stat");
        QVERIFY(writeFile(path, statText(samples[0])));
        clsCPUUsageNT cpu(path);
        for (int i = 0; i < loads.size(); ++i) {
            const QByteArray &sample = samples[i + 1];
            QVERIFY(writeFile(path, sample == "garbage" ? sample : statText(sample)));
            QCOMPARE(cpu.Query(), loads[i]);
        }
        QFile::remove(path);
        QCOMPARE(cpu.Query(), -1);
    }

    void memoryLoad_data()
    {
        QTest::addColumn<QByteArray>("memInfo");
        QTest::addColumn<int>("load");
        QTest::newRow("a quarter available")
            << QByteArray("MemTotal:        1000 kB\nMemFree:          100 kB\nMemAvailable:     250 kB\n") << 75;
        QTest::newRow("rounded down") << QByteArray("MemTotal: 3000 kB\nMemAvailable: 1001 kB\n") << 66;
        QTest::newRow("no available figure") << QByteArray("MemTotal: 1000 kB\nMemFree: 100 kB\n") << -1;
        QTest::newRow("empty") << QByteArray() << -1;
    }

    void memoryLoad()
    {
        QFETCH(QByteArray, memInfo);
        QFETCH(int, load);
        QVERIFY(writeFile(m_env.path("meminfo"), memInfo));
        QCOMPARE(SystemInformation(m_env.path("meminfo")).MemoryLoad(), load);
    }

    // The clock blinks its separator every tick; the rest changes once a second.
    void barDrawnOffscreen()
    {
        MenuWorld world;
        FakeSystemSource system;
        system.memoryLoad = 5;
        SS.StatusBackColor = 0x00FFFFFF;
        SS.StatusTextColor = 0;
        StatusBar bar(system, &world.form);
        bar.ApplySettings(SS);
        bar.PlaceIn(world.form.rect());
        world.form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&world.form));
        // Untitled windows and the shell's own are no open applications.
        world.windows->clients = {
            {1001, "Paint", true}, {1002, "Clock", true}, {1003, "", true}, {world.form.winId(), "Brindle", true}};
        auto *clock = bar.findChild<StatusPanel *>("picClock");
        auto *memory = bar.findChild<StatusPanel *>("picMemProc");
        QStringList clockTexts;
        for (int tick = 0; tick < 3; ++tick) {
            bar.ClockTimer_Timer(30);
            clockTexts << clock->Text();
            system.memoryLoad = 50;
        }
        QCOMPARE(clockTexts, QStringList({"Mar 05, 2024 14:07:09", "Mar 05, 2024 14:07.09", "Mar 05, 2024 14:07:09"}));
        QCOMPARE(bar.findChild<QLabel *>("lbApps")->text(), "(02 Apps.)");
        QVERIFY(memory->Text().contains(" 50 "));

        // 5 %: "05" over a bar of a twentieth of the width, in inverse colours.
        system.memoryLoad = 5;
        bar.ClockTimer_Timer(30);
        QVERIFY(memory->Text().contains(" 50 ")); // kept for one more tick
        bar.ClockTimer_Timer(30);
        QVERIFY(memory->Text().contains(" 05 "));
        const QImage image = memory->grab().toImage();
        int inverted = 0;
        for (int x = 0; x < image.width(); ++x)
            inverted += image.pixelColor(x, 0) == Qt::black;
        QCOMPARE(inverted, qRound(image.width() / 20.0));
    }

private:
    TestEnv m_env;
};

QTEST_MAIN(TestCaptions)
#include "TestCaptions.moc"
