// The menu form's own part of the button menu: a child's click (freeze,
// start, supervision), and the clicks that start nothing.
#include "MenuTestKit.h"

#include "frmMenu.h"
#include "menu/MenuButtons.h"
#include "base/modGlobals.h"

#include <Command.h>

#include <QAction>
#include <QMenu>
#include <QTimer>
#include <QtTest>

using modGlobals::SS;

class TestMenuForm : public QObject
{
    Q_OBJECT

private slots:
    void init()
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

    void cleanup()
    {
        m_menu.reset();
        m_world.reset();
    }

    void clickFreezesStartsAndWatches()
    {
        Command *button = m_menu->Menu(0);
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(m_world->processes->started.size(), 1);
        const platform::Pid pid = m_world->processes->started.first().pid;
        QVERIFY(!button->Enabled());
        QVERIFY(m_menu->findChild<QTimer *>(QStringLiteral("buttonDelayTimer"))->isActive());
        QCOMPARE(button->ExtraData(), qint32(pid));

        // The form's supervision timer notices the end.
        m_world->windows->mainWindows.insert(pid, 5);
        m_menu->findChild<QTimer *>(QStringLiteral("checkProcess"))->start();
        m_world->processes->exit(pid);
        QTRY_COMPARE(button->ExtraData(), 0);
    }

    void clicksThatStartNothing_data()
    {
        QTest::addColumn<bool>("editMode");
        QTest::addColumn<QString>("link");
        QTest::newRow("edit mode") << true << ".\\game";
        QTest::newRow("no link") << false << "";
    }

    void clicksThatStartNothing()
    {
        QFETCH(bool, editMode);
        QFETCH(QString, link);
        m_menu->findChild<QAction *>(QStringLiteral("mnuEditMode"))->setChecked(editMode);
        SS.Buttons.at(0).Link = link;
        QTest::mouseClick(m_menu->Menu(0), Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(m_world->processes->started.isEmpty());
        QVERIFY(!m_menu->findChild<QTimer *>(QStringLiteral("buttonDelayTimer"))->isActive());
        QVERIFY(m_world->dialogs->shown().isEmpty());
    }

private:
    std::unique_ptr<MenuWorld> m_world;
    std::unique_ptr<frmMenu> m_menu;
};

QTEST_MAIN(TestMenuForm)
#include "TestMenuForm.moc"
