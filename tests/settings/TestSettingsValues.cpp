// The settings dialog's values against the record and the store: a stored
// position outside its list shows as the nearest item, so no control is
// indexed past its end; what cannot be stored is named; untouched keys stay
// unwritten.
#include "CoreFixture.h"

#include "settings/SettingsValues.h"

#include <QDir>
#include <QtTest>

class TestSettingsValues : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_world = std::make_unique<CoreFixture>();
        QVERIFY(QDir().mkpath(m_world->env.path(QStringLiteral("wicket"))));
    }
    void cleanup() { m_world.reset(); }

    void outOfRangeShowsTheNearestItem_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("freeze");
        QTest::newRow("below") << -1 << 0 << 0;
        QTest::newRow("inside") << 1 << 1 << 1;
        QTest::newRow("above") << 99 << 2 << 10;
    }

    void outOfRangeShowsTheNearestItem()
    {
        QFETCH(int, stored);
        QFETCH(int, style);
        QFETCH(int, freeze);
        modGlobals::SS.BackgroundStyle = stored;
        modGlobals::SS.ButtonFreezeSeconds = stored;
        const SettingsValues values = SettingsValues::Read();
        QCOMPARE(values.backgroundStyle, style);
        QCOMPARE(values.freezeSeconds, freeze);
    }

    // Play-time values that cannot be stored are named and logged.
    void storeFailureIsNamed()
    {
        const QString store = SettingsStore::filePath(QStringLiteral("Brindle"));
        QVERIFY(QDir().mkpath(store));
        QCOMPARE(SettingsValues().Store(), QStringList{QStringLiteral("play time (%1)").arg(store)});
        QCOMPARE(m_world->logLines().filter(QStringLiteral("Settings()::Play time not saved")).size(), 1);
    }

    // An empty store and settings.ini read as the defaults, and get none of
    // the day's keys from values that changed none.
    void emptyStore()
    {
        const SettingsValues read = SettingsValues::Read();
        const SettingsValues defaults;
        QCOMPARE(read.playTimeIndex, defaults.playTimeIndex);
        QCOMPARE(read.warnIndex, defaults.warnIndex);
        QCOMPARE(read.beep, defaults.beep);
        QCOMPARE(read.popupsAllowed, defaults.popupsAllowed);
        QVERIFY(read.Store().isEmpty());
        for (const char *key : {"DailyStart", "Countdown", "PlayTimeMon", "HoursSun"})
            QVERIFY2(CoreFixture::value(QStringLiteral("TimeLimit"), QLatin1String(key)).isNull(), key);
    }

private:
    std::unique_ptr<CoreFixture> m_world;
};

QTEST_GUILESS_MAIN(TestSettingsValues)
#include "TestSettingsValues.moc"
