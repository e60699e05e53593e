// The menu form's own part of the button menu: its named timers, a child's
// click (freeze, start, supervision), the Refresh item and double clicks.
#include "MenuTestKit.h"

#include "frmMenu.h"
#include "menu/MenuButtons.h"
#include "modGlobals.h"
#include "programs/ProcessWatch.h"

#include <Command.h>

#include <QAction>
#include <QMenu>
#include <QTimer>
#include <QtTest>

using modGlobals::SS;

class tst_MenuForm : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void namedTimers_data();
    void namedTimers();
    void clickFreezesStartsAndWatches();
    void clicksThatStartNothing_data();
    void clicksThatStartNothing();
    void refreshItemReloadsPictures();
    void doubleClickRestartsDelay();

private:
    std::unique_ptr<MenuWorld> m_world;
    std::unique_ptr<frmMenu> m_menu;
};

void tst_MenuForm::init()
{
    m_world = std::make_unique<MenuWorld>();
    m_world->makeProgram(QStringLiteral("game"));
    m_world->addButton(QStringLiteral("Game"), QStringLiteral(".\\game"));
    SS.ButtonFreezeSeconds = 2;
    m_menu = std::make_unique<frmMenu>(nullptr);
    m_menu->resize(600, 400);
    m_menu->LoadButtons(-1);
    m_menu->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_menu.get()));
}

void tst_MenuForm::cleanup()
{
    m_menu.reset();
    m_world.reset();
}

void tst_MenuForm::namedTimers_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("interval");
    QTest::addColumn<bool>("singleShot");
    QTest::newRow("checkProcess") << "checkProcess" << 250 << false;
    QTest::newRow("DBLCLICKDELAY") << "DBLCLICKDELAY" << 10 << true;
    QTest::newRow("buttonDelayTimer") << "buttonDelayTimer" << -1 << true;
}

void tst_MenuForm::namedTimers()
{
    QFETCH(QString, name);
    QFETCH(int, interval);
    QFETCH(bool, singleShot);
    auto *timer = m_menu->findChild<QTimer *>(name);
    QVERIFY(timer);
    if (interval >= 0)
        QCOMPARE(timer->interval(), interval);
    QCOMPARE(timer->isSingleShot(), singleShot);
    QVERIFY(!timer->isActive());
    QVERIFY(m_menu->findChild<QMenu *>(QStringLiteral("mnuApps")));
}

void tst_MenuForm::clickFreezesStartsAndWatches()
{
    Command *button = m_menu->Menu(0);
    QCOMPARE(m_menu->findChild<Command *>(QStringLiteral("Menu_0")), button);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(m_world->processes->started.size(), 1);
    const platform::Pid pid = m_world->processes->started.first().pid;
    QVERIFY(!button->Enabled());
    QVERIFY(m_menu->buttonDelayTimer->isActive());
    QCOMPARE(m_menu->buttonDelayTimer->interval(), 2000);
    QCOMPARE(button->ExtraData(), qint32(pid));
    QCOMPARE(m_menu->Watch->ButtonWatch[0].Processes.size(), 1);

    // The form's supervision timer notices the end.
    m_world->windows->mainWindows.insert(pid, 5);
    m_menu->checkProcess->start();
    m_world->processes->exit(pid);
    QTRY_COMPARE(button->ExtraData(), 0);
    QVERIFY(m_menu->Watch->ButtonWatch[0].Processes.isEmpty());
}

void tst_MenuForm::clicksThatStartNothing_data()
{
    QTest::addColumn<bool>("editMode");
    QTest::addColumn<QString>("link");
    QTest::newRow("edit mode") << true << ".\\game";
    QTest::newRow("no link") << false << "";
}

void tst_MenuForm::clicksThatStartNothing()
{
    QFETCH(bool, editMode);
    QFETCH(QString, link);
    m_menu->mnuEditMode->setChecked(editMode);
    SS.Buttons.at(0).Link = link;
    QTest::mouseClick(m_menu->Menu(0), Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(m_world->processes->started.isEmpty());
    QVERIFY(!m_menu->buttonDelayTimer->isActive());
    QVERIFY(m_world->dialogs->shown().isEmpty());
}

void tst_MenuForm::refreshItemReloadsPictures()
{
    QImage picture(13, 7, QImage::Format_RGB32);
    picture.fill(Qt::green);
    QVERIFY(picture.save(m_world->env.path(QStringLiteral("new.bmp")), "BMP"));
    SS.Buttons.at(0).PicturePath = QStringLiteral(".\\new.bmp");
    QVERIFY(m_menu->Menu(0)->Picture().isNull());
    QVERIFY(m_menu->mnuRefresh->isVisible());
    m_menu->mnuRefresh->trigger();
    QCOMPARE(m_menu->Menu(0)->Picture().size(), QSize(13, 7));
}

void tst_MenuForm::doubleClickRestartsDelay()
{
    QTest::mouseDClick(m_menu->Menu(0), Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(m_menu->DBLCLICKDELAY->isActive());
    QTRY_VERIFY(!m_menu->DBLCLICKDELAY->isActive());
}

QTEST_MAIN(tst_MenuForm)
#include "tst_menuform.moc"
