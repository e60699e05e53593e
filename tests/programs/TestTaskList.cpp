#include "FormControls.h"
#include "MenuTestKit.h"

#include "programs/AppMenu.h"
#include "programs/frmTasks.h"

#include <Command.h>

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QMenu>
#include <QTimer>
#include <QtTest>

using TopLevel = platform::Windows::TopLevel;
Q_DECLARE_METATYPE(TopLevel)

namespace {

TopLevel window(platform::WindowId id, const QString &title)
{
    TopLevel t;
    t.id = id;
    t.title = title;
    t.visible = true;
    return t;
}

QStringList titles(const QListWidget *list)
{
    QStringList result;
    for (int i = 0; i < list->count(); ++i)
        result << list->item(i)->text();
    return result;
}

} // namespace

class TestTaskList : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_world = std::make_unique<MenuWorld>(); }

    void cleanup() { m_world.reset(); }

    // What TestX11Windows cannot make on a real server: hidden and child windows.
    void filter_data()
    {
        QTest::addColumn<TopLevel>("top");
        QTest::addColumn<bool>("listed");

        TopLevel t = window(1, QStringLiteral("Paint"));
        QTest::newRow("plain application window") << t << true;
        t.visible = false;
        QTest::newRow("hidden") << t << false;
        t = window(1, QStringLiteral("Child"));
        t.hasParent = true;
        QTest::newRow("has a parent") << t << false;
        t = window(1, QStringLiteral("Brindle"));
        t.pid = QCoreApplication::applicationPid();
        QTest::newRow("the shell's own window") << t << false;
    }

    void filter()
    {
        QFETCH(TopLevel, top);
        QFETCH(bool, listed);
        m_world->windows->clients = {top};
        QListWidget list;
        list.addItem(QStringLiteral("stale"));
        FillTaskList(&list);
        QCOMPARE(list.count(), listed ? 1 : 0);
    }

    void tasksWindow_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<QStringList>("calls");

        QTest::newRow("Switch To") << "Command1" << true << QStringList{"topmost", "activate 30"};
        QTest::newRow("Close") << "Command3" << true << QStringList{"topmost"};
        QTest::newRow("Refresh") << "Command4" << false << QStringList{"topmost"};
    }

    void tasksWindow()
    {
        QFETCH(QString, button);
        QFETCH(bool, closes);
        QFETCH(QStringList, calls);
        m_world->windows->clients = {window(30, QStringLiteral("Paint")), window(40, QStringLiteral("Clock"))};
        bool closed = true;
        QTimer::singleShot(0, [&] { // once the modal window is up
            auto *tasks = qobject_cast<frmTasks *>(QApplication::activeModalWidget());
            QVERIFY(tasks);
            auto *list = Control<QListWidget>(tasks, "List1");
            QCOMPARE(titles(list), (QStringList{"Paint", "Clock"}));
            QCOMPARE(list->currentRow(), 0);
            m_world->windows->clients.append(window(50, QStringLiteral("Later")));
            QTest::mouseClick(tasks->findChild<Command *>(button), Qt::LeftButton, {}, QPoint(5, 5));
            closed = !tasks->isVisible();
            if (!closed) {
                QCOMPARE(titles(list), (QStringList{"Paint", "Clock", "Later"}));
                tasks->reject();
            }
        });
        frmTasks::ShowModal(&m_world->form);
        QCOMPARE(closed, closes);
        QCOMPARE(m_world->windows->calls, calls);
    }

    void endSelectsTheNextRow_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<QString>("selected");
        QTest::newRow("first") << 0 << true << "Clock";
        QTest::newRow("last: the one above") << 2 << true << "Clock";
        QTest::newRow("refuses to close") << 1 << false << "Later";
    }

    // After "End" and the refill the next row is selected: "End" goes on with it.
    void endSelectsTheNextRow()
    {
        QFETCH(int, row);
        QFETCH(bool, closes);
        QFETCH(QString, selected);
        auto &clients = m_world->windows->clients;
        clients = {window(30, QStringLiteral("Paint")), window(40, QStringLiteral("Clock")),
                   window(50, QStringLiteral("Later"))};
        m_world->windows->onClose = [&clients, closes](platform::WindowId id) {
            clients.removeIf([id, closes](const TopLevel &t) { return t.id == id && closes; });
        };
        frmTasks tasks(&m_world->form);
        Control<QTimer>(&tasks, "ReloadTimer")->setInterval(0);
        Control<QListWidget>(&tasks, "List1")->setCurrentRow(row);
        QTest::mouseClick(Control<Command>(&tasks, "Command2"), Qt::LeftButton, {}, QPoint(5, 5));
        QTRY_VERIFY(!Control<QTimer>(&tasks, "ReloadTimer")->isActive());
        const QList<QListWidgetItem *> chosen = Control<QListWidget>(&tasks, "List1")->selectedItems();
        QCOMPARE(chosen.isEmpty() ? QString() : chosen.first()->text(), selected);
    }

    void appList()
    {
        AppMenu apps(&m_world->form);
        QList<ButtonWatchEntry> watch(3);
        watch[0].Processes = {{101, QStringLiteral("Paint"), {}, true}, {102, QStringLiteral("Paint & Draw"), {}, true}};
        watch[2].Processes = {{301, QStringLiteral("Clock"), {}, true}};
        QVERIFY(apps.MakeAppList(watch, QPoint(10, 10)));
        auto *menu = Control<QMenu>(&m_world->form, "mnuApps");
        QCOMPARE(menu->actions().size(), 3);
        QStringList texts, tags;
        for (QAction *item : menu->actions()) {
            QVERIFY(item->isVisible());
            texts << item->text();
            tags << item->data().toString();
        }
        QCOMPARE(texts, (QStringList{"Paint (1)", "Paint && Draw (2)", "Clock (1)"}));
        QCOMPARE(tags, (QStringList{"101", "102", "301"}));
        menu->hide();

        // Built anew each time: fewer programs, fewer items.
        watch[0].Processes.clear();
        QVERIFY(apps.MakeAppList(watch, QPoint(10, 10)));
        QCOMPARE(menu->actions().size(), 1);
        QCOMPARE(menu->actions().first()->text(), QStringLiteral("Clock (1)"));
        menu->actions().first()->trigger();
        QCOMPARE(m_world->windows->calls.last(), QStringLiteral("focus 301"));
        menu->hide();
        // Nothing watched: no menu.
        watch[2].Processes.clear();
        QVERIFY(!apps.MakeAppList(watch, QPoint(10, 10)));
    }

private:
    std::unique_ptr<MenuWorld> m_world;
};

QTEST_MAIN(TestTaskList)
#include "TestTaskList.moc"
