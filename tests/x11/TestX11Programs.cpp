// Starting, watching, bringing back and closing real programs (the fixture)
// under Xvfb and openbox, through the shell's own Linux/X11 services.
#include "MenuTestKit.h"

#include "menu/Launcher.h"
#include "menu/MenuButtons.h"
#include "base/modGlobals.h"
#include "platform/Services.h"
#include "programs/ProcessWatch.h"
#include "programs/frmTasks.h"

#include <Clock.h>
#include <Command.h>
#include <VbNumber.h>

#include <QApplication>
#include <QListWidget>
#include <QTimer>
#include <QtTest>

#include <csignal>

using modGlobals::SS;

namespace {

const QString Fixture = QStringLiteral(BRINDLE_TESTAPP);
constexpr int Slow = 15000; // a window may take a while on a busy machine

platform::Processes &processes()
{
    return platform::Services::processes();
}

platform::Windows &windows()
{
    return platform::Services::windows();
}

QStringList listed()
{
    QListWidget list;
    FillTaskList(&list);
    QStringList titles;
    for (int i = 0; i < list.count(); ++i)
        titles << list.item(i)->text();
    return titles;
}

} // namespace

class TestX11Programs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(!qEnvironmentVariableIsEmpty("DISPLAY"), "runs under tests/x11/run-under-xvfb");
        QVERIFY(QFileInfo(Fixture).isExecutable());
    }

    void init()
    {
        m_world = std::make_unique<MenuWorld>(false);
        QVERIFY(m_world->openStats());
        SS.ResponseTimeout = 0;
        m_started.clear();
    }

    void cleanup()
    {
        for (platform::Pid pid : std::as_const(m_started))
            ::kill(pid_t(pid), SIGKILL);
        for (platform::Pid pid : std::as_const(m_started))
            QTRY_VERIFY(!processes().isRunning(pid));
        m_world.reset();
    }

    void startFromButton_data()
    {
        QTest::addColumn<QString>("more");
        QTest::newRow("its own window") << QString();
        QTest::newRow("window of a child process") << QStringLiteral("--child");
    }

    void startFromButton()
    {
        QFETCH(QString, more);
        fixtureButton(QStringLiteral("Alpha"), more);
        m_world->build();
        const platform::Pid pid = startFrom(0);
        QVERIFY(pid > 0);
        QTRY_VERIFY_WITH_TIMEOUT(windows().findMainWindow(pid) != 0, Slow);
        QCOMPARE(windows().windowTitle(windows().findMainWindow(pid)), QStringLiteral("Alpha"));
        const double now = Clock::secondsSinceMidnight();
        QVERIFY(qAbs(SS.Buttons.at(0).StartTime - now) < 30 || now < 30);
        QCOMPARE(m_world->watch->ButtonWatch[0].Processes.size(), 1);
        QCOMPARE(m_world->statsRows().size(), 1);
        QVERIFY(m_world->statsRows().first().startsWith(Fixture + QStringLiteral(" \"--title Alpha")));
        QCOMPARE(m_world->statsRows().first().section(QLatin1Char('|'), 1, 1), QStringLiteral("1"));

        m_world->watch->checkProcess_Timer();
        QCOMPARE(m_world->buttons->Menu(0)->ExtraData(), qint32(pid));

        ::kill(pid_t(pid), SIGTERM);
        QTRY_VERIFY_WITH_TIMEOUT(!processes().isRunning(pid), Slow);
        m_world->watch->checkProcess_Timer();
        QVERIFY(m_world->watch->ButtonWatch[0].Processes.isEmpty());
        QCOMPARE(m_world->buttons->Menu(0)->ExtraData(), 0);
        QCOMPARE(SS.Buttons.at(0).StartTime, 0);
        QVERIFY(m_world->statsRows().first().section(QLatin1Char('|'), 2, 2).toDouble() > 0);
    }

    void oneInstanceBringsForward()
    {
        fixtureButton(QStringLiteral("Alpha"));
        m_world->build();
        const platform::Pid alpha = startFrom(0);
        QTRY_VERIFY_WITH_TIMEOUT(windows().findMainWindow(alpha) != 0, Slow);
        const platform::WindowId alphaWindow = windows().findMainWindow(alpha);
        const platform::Pid other = startDirect(QStringLiteral("--title Other"));
        QTRY_VERIFY_WITH_TIMEOUT(windows().findMainWindow(other) != 0, Slow);
        windows().activateWindow(windows().findMainWindow(other));
        QTRY_COMPARE_WITH_TIMEOUT(windows().foregroundWindow(), windows().findMainWindow(other), Slow);

        m_world->launcher->ExecuteFile(0, false, false);
        QTRY_COMPARE_WITH_TIMEOUT(windows().foregroundWindow(), alphaWindow, Slow);
        QCOMPARE(m_world->buttons->Menu(0)->ExtraData(), qint32(alpha));
        QCOMPARE(m_world->watch->ButtonWatch[0].Processes.size(), 1);
        QCOMPARE(m_world->statsRows().first().section(QLatin1Char('|'), 1, 1), QStringLiteral("1"));
    }

    void oneProcessAsks_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("switched");
        QTest::newRow("OK: the first closes, the second starts") << "OK" << true;
        QTest::newRow("Cancel: nothing changes") << "Cancel" << false;
    }

    void oneProcessAsks()
    {
        QFETCH(QString, answer);
        QFETCH(bool, switched);
        SS.OneProcessOnly = VbTrue;
        SS.AskToCloseRunning = VbTrue;
        fixtureButton(QStringLiteral("Alpha"));
        fixtureButton(QStringLiteral("Beta"));
        m_world->build();
        const platform::Pid alpha = startFrom(0);
        QTRY_VERIFY_WITH_TIMEOUT(windows().findMainWindow(alpha) != 0, Slow);
        m_world->dialogs->answer(answer);

        const platform::Pid beta = startFrom(1);
        QCOMPARE(m_world->dialogs->shown().size(), 1);
        QCOMPARE(m_world->dialogs->shown().first().text,
                 QStringLiteral("You already have another process running!\r\n\r\nDo you want to close this application ?"));
        if (switched) {
            QVERIFY(!processes().isRunning(alpha));
            QVERIFY(beta > 0 && beta != alpha);
            QTRY_VERIFY_WITH_TIMEOUT(windows().findMainWindow(beta) != 0, Slow);
        } else {
            QVERIFY(processes().isRunning(alpha));
            QCOMPARE(m_world->buttons->Menu(1)->ExtraData(), 0);
        }
    }

    void closeRequest()
    {
        fixtureButton(QStringLiteral("Closable"));
        m_world->build();
        const platform::Pid pid = startFrom(0);
        QTRY_VERIFY_WITH_TIMEOUT(windows().findMainWindow(pid) != 0, Slow);
        m_world->launcher->CloseRunningProgram(pid);
        QTRY_VERIFY_WITH_TIMEOUT(!processes().isRunning(pid), Slow);
    }

    void hangQuestionAndEnd()
    {
        SS.ResponseTimeout = 1;
        fixtureButton(QStringLiteral("Stuck"));
        m_world->build();
        const platform::Pid pid = startFrom(0);
        QTRY_VERIFY_WITH_TIMEOUT(windows().findMainWindow(pid) != 0, Slow);
        m_world->watch->checkProcess_Timer(); // answers: nothing asked
        QVERIFY(m_world->prompts.asked.isEmpty());

        ::kill(pid_t(pid), SIGUSR1);
        QTest::qWait(300);
        m_world->prompts.script({QStringLiteral("end")});
        m_world->watch->checkProcess_Timer();
        QCOMPARE(m_world->prompts.asked.size(), 1);
        QVERIFY(m_world->prompts.asked.first().startsWith(QStringLiteral("hang:\"Stuck\" is not responding!|")));
        QTRY_VERIFY_WITH_TIMEOUT(!processes().isRunning(pid), Slow);
        m_world->watch->checkProcess_Timer();
        QVERIFY(m_world->watch->ButtonWatch[0].Processes.isEmpty());
        QCOMPARE(m_world->buttons->Menu(0)->ExtraData(), 0);
    }

    void twoProgramsFromOneButton()
    {
        fixtureButton(QStringLiteral("Twice")).OneInstance = VbFalse;
        m_world->build();
        const platform::Pid first = startFrom(0);
        const platform::Pid second = startFrom(0);
        QVERIFY(first > 0 && second > 0 && first != second);
        QTRY_VERIFY_WITH_TIMEOUT(windows().findMainWindow(first) && windows().findMainWindow(second), Slow);
        QCOMPARE(m_world->watch->ButtonWatch[0].ProcessUpper(), 1);
        ::kill(pid_t(first), SIGTERM);
        QTRY_VERIFY_WITH_TIMEOUT(!processes().isRunning(first), Slow);
        m_world->watch->checkProcess_Timer();
        QCOMPARE(m_world->watch->ButtonWatch[0].Processes.size(), 1);
        QCOMPARE(m_world->watch->ButtonWatch[0].Processes[0].ProcessId, second);
        QCOMPARE(SS.Buttons.at(0).StartTime, 0);
        QCOMPARE(m_world->buttons->Menu(0)->ExtraData(), qint32(second));
    }

    void taskListFilters()
    {
        const QList<QPair<QString, QString>> kinds = {
            {QStringLiteral("normal"), QStringLiteral("Listed")}, {QStringLiteral("untitled"), QStringLiteral("Nameless")},
            {QStringLiteral("tool"), QStringLiteral("ToolWin")}, {QStringLiteral("owned"), QStringLiteral("Owner")},
            {QStringLiteral("owned-app"), QStringLiteral("AppOwner")}};
        for (const auto &kind : kinds) {
            const platform::Pid pid = startDirect(QStringLiteral("--kind ") + kind.first + QStringLiteral(" --title ")
                                                  + kind.second);
            QVERIFY(pid > 0);
        }
        const QStringList wanted{QStringLiteral("Listed"), QStringLiteral("Owner"), QStringLiteral("AppOwner"),
                                 QStringLiteral("AppOwner owned")};
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                const QStringList titles = listed();
                return std::all_of(wanted.cbegin(), wanted.cend(), [&](const QString &t) { return titles.contains(t); });
            }(),
            Slow);
        // Every fixture has its windows by now; give stragglers a moment.
        QTest::qWait(500);
        const QStringList titles = listed();
        QVERIFY2(!titles.contains(QStringLiteral("ToolWin")), qPrintable(titles.join(QLatin1Char(','))));
        QVERIFY2(!titles.contains(QStringLiteral("Owner owned")), qPrintable(titles.join(QLatin1Char(','))));
        QVERIFY(!titles.contains(QString()));
        QVERIFY(!titles.contains(QStringLiteral("Nameless")));
    }

private:
    BUTTON &fixtureButton(const QString &title, const QString &more = QString())
    {
        BUTTON &b = m_world->addButton(title, Fixture);
        b.Parameters = QStringLiteral("--title ") + title + (more.isEmpty() ? QString() : QLatin1Char(' ') + more);
        return b;
    }

    platform::Pid startFrom(int index)
    {
        m_world->launcher->ExecuteFile(index, false, false);
        const platform::Pid pid = m_world->buttons->Menu(index)->ExtraData();
        if (pid > 0 && !m_started.contains(pid))
            m_started << pid;
        return pid;
    }

    platform::Pid startDirect(const QString &arguments)
    {
        const platform::Pid pid = processes().start(Fixture, arguments, QString());
        if (pid > 0)
            m_started << pid;
        return pid;
    }

    std::unique_ptr<MenuWorld> m_world;
    QList<platform::Pid> m_started;
};

QTEST_MAIN(TestX11Programs)
#include "TestX11Programs.moc"
