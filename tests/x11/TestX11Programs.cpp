// Starting, watching, bringing back and closing real programs (the fixture)
// under Xvfb and openbox, through the shell's own Linux/X11 services.
#include "MenuTestKit.h"

#include "menu/Launcher.h"
#include "menu/MenuButtons.h"
#include "base/modGlobals.h"
#include "data/SettingsFile.h"
#include "platform/Services.h"
#include "programs/ProcessWatch.h"

#include <Clock.h>
#include <Command.h>
#include <VbNumber.h>

#include <QApplication>
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

    void startFromButton()
    {
        fixtureButton(QStringLiteral("Alpha"));
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
        m_world->watch->checkProcess_Timer(); // the ping goes out
        QTest::qWait(1000);
        m_world->watch->checkProcess_Timer();
        QCOMPARE(m_world->prompts.asked.size(), 1);
        QVERIFY(m_world->prompts.asked.first().startsWith(QStringLiteral("hang:\"Stuck\" is not responding!|")));
        QTRY_VERIFY_WITH_TIMEOUT(!processes().isRunning(pid), Slow);
        m_world->watch->checkProcess_Timer();
        QVERIFY(m_world->watch->ButtonWatch[0].Processes.isEmpty());
        QCOMPARE(m_world->buttons->Menu(0)->ExtraData(), 0);
    }

    // No click runs inside a tick: a program started while the pings are out
    // stays watched.
    void clickWhilePingsAreOut()
    {
        SS.ResponseTimeout = 1;
        fixtureButton(QStringLiteral("Alpha"));
        fixtureButton(QStringLiteral("Beta"));
        m_world->build();
        QTRY_VERIFY_WITH_TIMEOUT(windows().findMainWindow(startFrom(0)) != 0, Slow);
        platform::Pid beta = 0;
        QTimer::singleShot(0, [&] { beta = startFrom(1); });
        m_world->watch->checkProcess_Timer();
        QTRY_VERIFY(beta > 0);
        m_world->watch->checkProcess_Timer();
        QCOMPARE(m_world->buttons->Menu(1)->ExtraData(), qint32(beta));
        QCOMPARE(m_world->watch->ButtonWatch[1].Processes.size(), 1);
    }

    // Every program of the demo menu starts from its button and shows a window.
    void demoProgramsShowWindows()
    {
        QVERIFY(!SettingsFile::LoadFile(TestEnv::builtProgramFolder() + QStringLiteral("settings.dat"), SS));
        m_world->build();
        for (int i = 0; i <= SS.ButtonsMax; ++i) {
            if (!SS.Buttons.at(i).Link.contains(QLatin1Char('/')))
                continue; // a built-in action
            const platform::Pid pid = startFrom(i);
            QVERIFY2(pid > 0, qPrintable(SS.Buttons.at(i).Link));
            QTRY_VERIFY2_WITH_TIMEOUT(windows().findMainWindow(pid) != 0, qPrintable(SS.Buttons.at(i).Link), 2 * Slow);
        }
    }

private:
    BUTTON &fixtureButton(const QString &title)
    {
        BUTTON &b = m_world->addButton(title, Fixture);
        b.Parameters = QStringLiteral("--title ") + title;
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
