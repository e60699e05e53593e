#include "FakeSystemSource.h"
#include "TestEnv.h"

#include "base/modGlobals.h"
#include "captions/CaptionVariables.h"

#include <Clock.h>

#include <QDir>
#include <QTest>

using modGlobals::SS;

class TestCaptionParser : public QObject
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

private:
    TestEnv m_env;
};

QTEST_GUILESS_MAIN(TestCaptionParser)
#include "TestCaptionParser.moc"
