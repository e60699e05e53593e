// The play clock inside the main form: the play-time check of start-up and
// expiry ending the shell.
#include "PlayTimeWorld.h"
#include "ScriptedPrompts.h"

#include "data/SettingsFile.h"
#include "frmMenu.h"
#include "playtime/PlayTime.h"

#include <QTimer>
#include <QtTest>

using namespace playtimetest;

namespace {

QTimer *timer(const frmMenu &menu, const char *name)
{
    return menu.findChild<QTimer *>(QLatin1String(name));
}

void tick(const frmMenu &menu)
{
    menu.findChild<PlayTime *>()->Tick();
}

} // namespace

class TestPlayTimeMenu : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_world = std::make_unique<PlayTimeWorld>();
        SettingsFile::MakeClearState(modGlobals::SS);
    }

    void cleanup() { m_world.reset(); }

    // After the play-time check of start-up the menu shows, or a timer of the
    // form ends start-up: ShutdownTimer switches off, UnloadTimer quits.
    void loadSteps_data()
    {
        QTest::addColumn<QString>("timeLeft");
        QTest::addColumn<QString>("shutdown");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QString>("timerStarted");

        QTest::newRow("time left") << "200" << QString() << QStringList() << true << QString();
        QTest::newRow("expired, shut down: switch off") << "10" << QString() << QStringList{"shutdown"} << false
                                                        << "ShutdownTimer";
        QTest::newRow("expired, shut down: quit") << "10" << "0" << QStringList{"shutdown"} << false << "UnloadTimer";
    }

    void loadSteps()
    {
        QFETCH(QString, timeLeft);
        QFETCH(QString, shutdown);
        QFETCH(QStringList, answers);
        QFETCH(bool, shown);
        QFETCH(QString, timerStarted);

        PlayTimeWorld::setTimeLimit(QStringLiteral("PlayTime"), QStringLiteral("1"));
        PlayTimeWorld::setTimeLimit(QStringLiteral("TimeLeft"), timeLeft);
        if (!shutdown.isNull())
            PlayTimeWorld::setTimeLimit(QStringLiteral("Shutdown"), shutdown);
        modGlobals::SS.Password = QStringLiteral("mum");

        ScriptedPrompts prompts(answers);
        frmMenu menu(nullptr, &prompts);
        menu.Load();
        QCOMPARE(prompts.unexpected, 0);

        QCOMPARE(prompts.asked.size(), answers.size());
        QCOMPARE(menu.isVisible(), shown);
        QCOMPARE(timer(menu, "PlaytimeTimer")->isActive(), shown);
        QCOMPARE(timer(menu, "ShutdownTimer")->isActive(), timerStarted == QLatin1String("ShutdownTimer"));
        QCOMPARE(timer(menu, "UnloadTimer")->isActive(), timerStarted == QLatin1String("UnloadTimer"));
        for (const char *name : {"ShutdownTimer", "UnloadTimer", "TimerRemoveLoadScreen"})
            timer(menu, name)->stop();
    }

    void expiryUnloadsTheForm()
    {
        PlayTimeWorld::setTimeLimit(QStringLiteral("Shutdown"), QStringLiteral("0"));
        m_world->beginPeriod(QStringLiteral("1"));
        modGlobals::DebugMode = true;
        frmMenu menu(nullptr);
        timer(menu, "PlaytimeTimer")->start();
        m_world->moveTo(300, 0);
        tick(menu);
        QVERIFY(menu.IsUnloaded());
        QCOMPARE(PlayTimeWorld::timeLimit(QStringLiteral("TimeLeft")), QStringLiteral("0"));
        QCOMPARE(*m_world->tones, ExpiryTones);
    }

private:
    std::unique_ptr<PlayTimeWorld> m_world;
};

QTEST_MAIN(TestPlayTimeMenu)
#include "TestPlayTimeMenu.moc"
