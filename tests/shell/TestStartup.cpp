#include "ShellRun.h"

#include "base/modGlobals.h"
#include "data/Backup.h"
#include "data/SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

#include <Clock.h>
#include <SettingsStore.h>

namespace {

const QString Banner = QStringLiteral("------------------------- STARTUP -------------------------");
const QString AllDone = QStringLiteral("frmMenu()::All done, system should be up and running!");

SettingsRecord clearRecord(const QString &password = QString())
{
    SettingsRecord record;
    SettingsFile::MakeClearState(record);
    record.Password = password;
    return record;
}

// The lines of a start that must come in this order, with others between them.
const QStringList Landmarks{Banner, QStringLiteral("Main()::DataFiles Loaded"), QStringLiteral("Main()::Checking for _!"),
                            QStringLiteral("FrmMenu()::StartHook"), QStringLiteral("frmMenu()::Load buttons..."),
                            QStringLiteral("frmMenu()::All loading and hooking done."),
                            QStringLiteral("frmMenu()::Winsock Listen"),
                            QStringLiteral("frmMenu()::Initialize playtime-timerobject."),
                            QStringLiteral("frmMenu()::Show main screen (shell)."), AllDone};

bool inOrder(const QStringList &wanted, const QStringList &lines)
{
    qsizetype at = 0;
    for (const QString &line : wanted)
        if ((at = lines.indexOf(line, at)) < 0)
            return false;
    return true;
}

// A quit before the menu, in a child's session.
const QStringList QuitLines{QStringLiteral("Main()::Quitting"), QStringLiteral("Main()::Adding Taskbar"),
                            QStringLiteral("Main()::Adding Desktop"), QStringLiteral("Main()::Unhooking KeyHandler"),
                            QStringLiteral("Main()::Program Terminated.")};

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    // The session's own start, which takes the desktop and the keys, runs in
    // the X11 tests; here "/debug", found anywhere in the joined arguments in
    // any case, and "/mi" passing over the marker's question.
    void startsAndQuits()
    {
        TestEnv env;
        ShellRun shell(env);
        QVERIFY(shell.install());
        shell.writeFile(QStringLiteral("settings.dat"), SettingsFile::Write(clearRecord()));
        shell.writeFile(QStringLiteral("startup.log"), "earlier run\r\n");
        QVERIFY(Backup::WriteMarker(env.programFolder()) == std::nullopt);
        QVERIFY(shell.start({QStringLiteral("x/DEBUGgy"), QStringLiteral("/MI")}));
        QVERIFY(shell.waitForLog(AllDone));
        const QStringList lines = shell.logLines();
        QVERIFY2(inOrder(Landmarks, lines), qPrintable(lines.join(QLatin1Char('\n'))));
        QVERIFY(!lines.contains(QStringLiteral("Main()::Attempting to Hook KeyHandler (Subclassing)")));
        QVERIFY(shell.shownDialogs().isEmpty());

        // A second copy in the same folder says so and ends; the first runs on.
        ShellRun second(env);
        QVERIFY(second.start({}));
        QVERIFY(second.waitForExit());
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(second.shownDialogs(), QStringList{QStringLiteral("msgbox\t4144\tBrindle\tBrindle is already running!")});
        QCOMPARE(shell.process().state(), QProcess::Running);
        shell.terminate();
        QVERIFY(shell.waitForExit());
        QCOMPARE(shell.exitCode(), 0);
        // Every run adds its lines to the log, each with its time stamp.
        const QList<QByteArray> raw = readFile(env.path(QStringLiteral("startup.log"))).split('\n');
        QCOMPARE(raw.first(), QByteArray("earlier run\r"));
        static const QRegularExpression stamp(QStringLiteral("^\\d\\d-\\w{3}-\\d\\d \\d\\d:\\d\\d:\\d\\d \\S.*\\r$"));
        for (const QByteArray &line : raw.mid(1, raw.size() - 2))
            QVERIFY2(stamp.match(QString::fromLocal8Bit(line)).hasMatch(), line.constData());
    }

    void recovery_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<bool>("starts");
        QTest::addColumn<QStringList>("expected"); // the lines after "Checking for _!", up to the form's load

        const QString asked = QStringLiteral("Main()::_! exist, asking user for recovery");
        const QString cancel = QStringLiteral("Main()::Recovery Cancel, check pwd, then quit.");
        const QString asking = QStringLiteral("Main()::SS.Password, asking pwd:");
        const QString removeTop = QStringLiteral("Main()::Removing LoadScreen TopMost");
        const QString resetTop = QStringLiteral("Main()::Resetting LoadScreen TopMost");

        QTest::newRow("Cancel without password quits") << QString() << QStringList{"Cancel"} << false
                                                       << QStringList{asked, cancel} + QuitLines;
        QTest::newRow("Cancel, wrong then right password")
            << "secret" << QStringList{"Cancel", "wrong", "SECRET"} << false
            << QStringList{asked, cancel, asking, removeTop, removeTop, resetTop} + QuitLines;
        QTest::newRow("Cancel, empty answer asks again, then OK")
            << "secret" << QStringList{"Cancel", "", "OK"} << true
            << QStringList{asked, cancel, asking, removeTop} + QStringList{asked};
    }

    void recovery()
    {
        QFETCH(QString, password);
        QFETCH(QStringList, answers);
        QFETCH(bool, starts);
        QFETCH(QStringList, expected);
        TestEnv env;
        ShellRun shell(env);
        QVERIFY(shell.install());
        shell.writeSettings(clearRecord(password));
        QVERIFY(Backup::WriteMarker(env.programFolder()) == std::nullopt);
        QVERIFY(Backup::WriteBackup(env.programFolder(), clearRecord(), {}) == std::nullopt);
        shell.answerDialogs(answers);
        QVERIFY(shell.start({}));
        if (starts) {
            QVERIFY(shell.waitForLog(AllDone));
            shell.terminate();
        }
        QVERIFY(shell.waitForExit());
        const QStringList lines = shell.logLines();
        const qsizetype from = lines.indexOf(QStringLiteral("Main()::Checking for _!")) + 1;
        const qsizetype to = starts ? lines.indexOf(QStringLiteral("FrmMenu()::StartHook")) : lines.size();
        QVERIFY(from > 0 && to >= from);
        QCOMPARE(lines.mid(from, to - from), expected);

        const QStringList shown = shell.shownDialogs();
        QVERIFY(!shown.isEmpty());
        QVERIFY(shown.first().startsWith(QStringLiteral("msgbox\t4145\t\tBrindle was last terminated abnormally!")));
        QVERIFY(shown.first().contains(QStringLiteral("in directory \"") + env.programFolder() + QStringLiteral("backup/\"")));
        for (const QString &line : shown)
            if (line.startsWith(QStringLiteral("inputbox")))
                QCOMPARE(line, QStringLiteral("inputbox\t0\tPassword\tEnter password to quit:"));
        if (!starts) {
            // Quitting here leaves the marker and the backups for the parent.
            QVERIFY(Backup::MarkerExists(env.programFolder()));
            QCOMPARE(QDir(env.path(QStringLiteral("backup"))).entryList(QDir::Files).size(), 2);
        }
    }

    // A truncated settings.dat ends start-up with the reader's error, logged
    // and shown, and is left as it is.
    void corruptSettingsEndStartup()
    {
        const QByteArray valid = SettingsFile::Write(clearRecord());
        const QByteArray bytes = valid.left(valid.size() / 2);
        TestEnv env;
        ShellRun shell(env);
        QVERIFY(shell.install());
        shell.writeFile(QStringLiteral("settings.dat"), bytes);
        shell.answerDialogs({QStringLiteral("OK")});
        QVERIFY(shell.start({QStringLiteral("/debug")}));
        QVERIFY(shell.waitForExit());
        QCOMPARE(shell.exitCode(), 1);
        QVERIFY(shell.logLines().contains(QStringLiteral("frmMenu()::Input past end of file Code 62")));
        QCOMPARE(shell.shownDialogs(), QStringList{QStringLiteral("msgbox\t16\t\tError reading datafile. The file may be corrupted!"
                                               "\\n\\nInput past end of file\\nCode 62")});
        // The file is left for the parent to repair; nothing overwrote it.
        QCOMPARE(readFile(env.path(QStringLiteral("settings.dat"))), bytes);
    }

    void logMonthHasThreeLetters_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<int>("month");
        QTest::addColumn<QString>("stamp");
        QTest::newRow("English") << "en_GB" << 12 << "07-Dec-26 09:05:03";
        QTest::newRow("German, no dot") << "de_DE" << 12 << "07-Dez-26 09:05:03";
        QTest::newRow("French, cut to three") << "fr_FR" << 2 << "07-fév-26 09:05:03";
    }

    void logMonthHasThreeLetters()
    {
        QFETCH(QString, locale);
        QFETCH(int, month);
        QFETCH(QString, stamp);
        const QLocale before;
        QLocale::setDefault(QLocale(locale));
        Clock::setNow(QDateTime(QDate(2026, month, 7), QTime(9, 5, 3)));
        const QString written = modGlobals::LogTimestamp();
        Clock::reset();
        QLocale::setDefault(before);
        QCOMPARE(written, stamp);
    }

    // A log-out while the time-expired dialog holds up start-up still ends the
    // shell, after its orderly unload.
    void quitSignalWhileTimeExpiredDialogIsUp()
    {
        TestEnv env;
        ShellRun shell(env);
        QVERIFY(shell.install());
        shell.writeSettings(clearRecord());
        for (const auto &[key, value] : {std::pair{"PlayTime", "1"}, {"TimeLeft", "0"}})
            SettingsStore::SaveSetting(QStringLiteral("Brindle"), QStringLiteral("TimeLimit"), QLatin1String(key),
                                       QLatin1String(value));
        QVERIFY(shell.start({QStringLiteral("/debug")}));
        QVERIFY(shell.waitForLog(QStringLiteral("frmMenu()::Time Expired, show expiry dialog. - Time left:0")));
        shell.terminate();
        QVERIFY(shell.waitForExit(5000));
        QCOMPARE(shell.exitCode(), 0);
        SettingsStore::Refresh(QStringLiteral("Brindle"));
        QCOMPARE(SettingsStore::GetSetting("Brindle", "Beeper", "Quit"), QStringLiteral("1"));
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "TestStartup.moc"
