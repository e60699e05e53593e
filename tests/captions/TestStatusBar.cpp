#include "FakeSystemSource.h"
#include "MenuTestKit.h"

#include "base/modGlobals.h"
#include "captions/StatusBar.h"
#include "captions/StatusPanel.h"
#include "frmMenu.h"

#include <Clock.h>
#include <Command.h>

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QTimer>

using modGlobals::SS;

class TestStatusBar : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_world = std::make_unique<MenuWorld>();
        Clock::setNow(QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)));
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    void cleanup() { m_world.reset(); }

    // The clock blinks its separator every tick; the rest changes once a second.
    void barDrawnOffscreen()
    {
        FakeSystemSource system;
        system.memoryLoad = 5;
        SS.StatusBackColor = 0x00FFFFFF;
        SS.StatusTextColor = 0;
        StatusBar bar(system, &m_world->form);
        bar.ApplySettings(SS);
        bar.PlaceIn(m_world->form.rect());
        m_world->form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_world->form));
        // Untitled windows and the shell's own are no open applications.
        m_world->windows->clients = {
            {1001, "Paint", true}, {1002, "Clock", true}, {1003, "", true}, {m_world->form.winId(), "Brindle", true}};
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

    // Shown captions change, stored ones never; edit mode shows them as stored.
    void menuShowsLiveCaptions()
    {
        m_world->addButton("%time% %apppath%", "");
        m_world->addButton("Plain", "");
        frmMenu menu(nullptr);
        menu.resize(800, 600);
        menu.LoadButtons(-1);
        menu.UpdateView();
        menu.show();
        QVERIFY(QTest::qWaitForWindowExposed(&menu));
        auto *timer = menu.findChild<QTimer *>("CaptionParser");
        timer->start();
        const QString live = "14:07:09 " + modGlobals::AppPath();
        QTRY_COMPARE(menu.Menu(0)->Caption(), live);
        QCOMPARE(timer->interval(), 1000);
        QCOMPARE(SS.Buttons.at(0).Caption, "%time% %apppath%");
        QCOMPARE(menu.Menu(1)->Caption(), "Plain");

        menu.findChild<QAction *>("mnuEditMode")->setChecked(true);
        Clock::advance(5);
        timer->start(10);
        QTRY_COMPARE(timer->interval(), 1000); // it ticked
        QCOMPARE(menu.Menu(0)->Caption(), live);

        // The bar hands clicks it does not use to the form.
        auto *bar = menu.findChild<StatusBar *>("StatusBar");
        QVERIFY(bar->isVisible());
        QTest::mouseClick(bar, Qt::RightButton, {}, QPoint(bar->width() / 2, 5));
        QTRY_VERIFY(menu.findChild<QMenu *>("mnuMenu")->isVisible());
    }

private:
    std::unique_ptr<MenuWorld> m_world;
};

QTEST_MAIN(TestStatusBar)
#include "TestStatusBar.moc"
