// The settings dialog's values read from the record: a stored position
// outside its list shows as the nearest item, so no control is indexed past
// its end.
#include "TestEnv.h"

#include "base/modGlobals.h"
#include "settings/SettingsValues.h"

#include <QtTest>

class TestSettingsValues : public QObject
{
    Q_OBJECT

private slots:
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
        TestEnv env;
        modGlobals::Reset();
        modGlobals::SetAppPath(env.programFolder());
        modGlobals::SS.BackgroundStyle = stored;
        modGlobals::SS.ButtonFreezeSeconds = stored;
        const SettingsValues values = SettingsValues::Read();
        QCOMPARE(values.backgroundStyle, style);
        QCOMPARE(values.freezeSeconds, freeze);
    }
};

QTEST_GUILESS_MAIN(TestSettingsValues)
#include "TestSettingsValues.moc"
