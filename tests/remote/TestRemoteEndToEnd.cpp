// The real shell and the real console on loopback: the parent's password
// opens the console's commands. (Wrong answers: TestRemoteServer, TestFarrow.)
#include "ConsolePrompts.h"
#include "SettingsStore.h"
#include "ShellRun.h"
#include "data/SettingsFile.h"
#include "frmMain.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

namespace {

class CountingPrompts : public ConsolePrompts
{
public:
    void Warning(QWidget *, const QString &text) override { shown << text; }
    bool Confirm(QWidget *, QMessageBox::Icon, const QString &, const QString &) override { return true; }
    QString AskPassword(QWidget *, const QString &, const QString &) override { return QString(); }
    QStringList shown;
};

QString status(QWidget &console)
{
    return console.findChild<QLabel *>(QStringLiteral("Picture4"))->text().trimmed();
}

} // namespace

class TestRemoteEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void parentSteersTheShell()
    {
        TestEnv env;
        ShellRun shell(env);
        QVERIFY(shell.install());
        SettingsRecord record;
        SettingsFile::MakeClearState(record);
        record.Password = QStringLiteral("Mum");
        record.ButtonsMax = 0;
        record.Buttons.redim(0);
        record.Buttons.at(0).Caption = QStringLiteral("Paint");
        record.Buttons.at(0).Link = QStringLiteral("/bin/true");
        record.Buttons.at(0).InUse = 1;
        shell.writeSettings(record);
        QVERIFY(shell.start({QStringLiteral("/debug")}));
        QVERIFY(shell.waitForLog(QStringLiteral("frmMenu()::All done, system should be up and running!")));
        const QString host = QStringLiteral("127.0.0.1:%1").arg(env.port());

        CountingPrompts prompts;
        frmMain console(host + QStringLiteral("|mUM"), &prompts);
        auto *list = console.findChild<QListWidget *>(QStringLiteral("List1"));
        QTRY_COMPARE_WITH_TIMEOUT(list->count(), 1, 10000);
        QCOMPARE(list->item(0)->text(), QStringLiteral("Paint"));

        auto *resetTime = console.findChild<QPushButton *>(QStringLiteral("Command2"));
        QTRY_VERIFY_WITH_TIMEOUT(resetTime->isEnabled(), 10000); // once the password is proven
        resetTime->click();
        QTRY_COMPARE(status(console), host + QStringLiteral(" Responds: OK! Command executed!"));
        QVERIFY(!SettingsStore::GetSetting(QStringLiteral("Brindle"), QStringLiteral("TimeLimit"),
                                           QStringLiteral("LastInit")).isEmpty());
        QVERIFY(prompts.shown.isEmpty());

        shell.terminate();
        QVERIFY(shell.waitForExit());
    }
};

QTEST_MAIN(TestRemoteEndToEnd)
#include "TestRemoteEndToEnd.moc"
