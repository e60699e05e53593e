// The statistics viewer: sorting by the column headers, clearing, and the
// printed report read back from its PDF.
#include "FormControls.h"
#include "MenuTestKit.h"

#include "base/modGlobals.h"
#include "stats/StatsListModel.h"
#include "stats/frmStats.h"
#include "platform/linux/LinuxServices.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QtPrintSupport>
#include <QProcess>
#include <QSqlQuery>
#include <QTreeView>
#include <QtTest>

using modGlobals::SS;

namespace {

// Title, hits, seconds, last start, path: each column sorts them differently.
void addRows(const QSqlDatabase &db)
{
    const char *const rows[][5] = {{"beta", "5", "10.5", "2024-01-03 08:00:00", "/games/c"},
                                   {"Alpha", "1", "3700.5", "2023-12-31 23:59:59", "/games/B"},
                                   {"gamma", "30", "20", "2024-01-02 10:00:00", "/games/a"}};
    for (const auto &row : rows) {
        QSqlQuery insert(db);
        insert.prepare(QStringLiteral("INSERT INTO TAB_STAT (Caption, Executions, Seconds, LastExecuted, Path) "
                                      "VALUES (?, ?, ?, ?, ?)"));
        for (const char *value : row)
            insert.addBindValue(QString::fromLatin1(value));
        QVERIFY(insert.exec());
    }
}

QTreeView *view(const frmStats &viewer) { return Control<QTreeView>(&viewer, "ListView1"); }
StatsListModel *model(const frmStats &viewer) { return qobject_cast<StatsListModel *>(view(viewer)->model()); }

QStringList titles(const frmStats &viewer)
{
    QStringList list;
    for (const StatsQuery::Row &row : model(viewer)->rows())
        list << row.caption;
    return list;
}

} // namespace

class TestStatsViewer : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_world = std::make_unique<MenuWorld>();
        QVERIFY(m_world->openStats());
        addRows(m_world->stats.Database());
    }
    void cleanup() { m_world.reset(); }

    void headerClicks_data()
    {
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("order");
        QTest::addColumn<QString>("shown");
        QTest::newRow("stored sort") << QList<int>{} << 0 << 0 << "Alpha beta gamma";
        QTest::newRow("same column turns round") << QList<int>{0} << 0 << 1 << "gamma beta Alpha";
        QTest::newRow("hits") << QList<int>{1} << 1 << 0 << "Alpha beta gamma";
        QTest::newRow("time, descending") << QList<int>{2, 2} << 2 << 1 << "Alpha gamma beta";
        QTest::newRow("last start") << QList<int>{3} << 3 << 0 << "Alpha gamma beta";
        QTest::newRow("path") << QList<int>{4} << 4 << 0 << "gamma Alpha beta";
    }

    void headerClicks()
    {
        QFETCH(QList<int>, clicks);
        QFETCH(int, key);
        QFETCH(int, order);
        QFETCH(QString, shown);
        frmStats viewer(m_world->stats.Database(), m_world->prompts);
        for (int column : clicks)
            viewer.ListView1_ColumnClick(column);
        QCOMPARE(titles(viewer).join(QLatin1Char(' ')), shown);
        QCOMPARE(SS.StatsSortKey, key);
        QCOMPARE(SS.StatsSortOrder, order);
        QCOMPARE(view(viewer)->header()->sortIndicatorSection(), key);
        // Reopened, the viewer shows the same order.
        QCOMPARE(titles(frmStats(m_world->stats.Database(), m_world->prompts)).join(QLatin1Char(' ')), shown);
        if (clicks.isEmpty())
            QCOMPARE(model(viewer)->index(1, 2).data().toString(), QStringLiteral("00:00:10"));
    }

    // Each column is a fifth of the list, when it is first shown and after a resize.
    void columnsShareTheWidth()
    {
        frmStats viewer(m_world->stats.Database(), m_world->prompts);
        viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        for (const int width : {0, 1000, 500}) {
            if (width)
                viewer.resize(width, 300);
            QCoreApplication::processEvents();
            const int fifth = view(viewer)->viewport()->width() / 5;
            QVERIFY(fifth > 50);
            for (int c = 0; c < 5; ++c)
                QCOMPARE(view(viewer)->header()->sectionSize(c), fifth);
        }
    }

    void clearing()
    {
        frmStats viewer(m_world->stats.Database(), m_world->prompts);
        m_world->dialogs->answer(QStringLiteral("Cancel"));
        Control<QAction>(&viewer, "mnuClear")->trigger();
        QCOMPARE(model(viewer)->rowCount(), 3);
        m_world->dialogs->answer(QStringLiteral("OK"));
        Control<QAction>(&viewer, "mnuClear")->trigger();
        QCOMPARE(m_world->dialogs->shown().last().text, QStringLiteral("Clear list?"));
        QCOMPARE(model(viewer)->rowCount(), 0);
        QVERIFY(m_world->statsRows().isEmpty());
        m_world->stats.AddExecution(m_world->addButton(QStringLiteral("Paint"), QStringLiteral("/usr/bin/paint")));
        viewer.FillStats();
        QCOMPARE(model(viewer)->index(0, 1).data().toString(), QStringLiteral("1"));
    }

    // The parent's dialogs (printers only, a save dialog that only browses) and the saved PDF read back.
    void reportFollowsTheViewersOrder()
    {
        SS.StatsSortKey = 1;
        SS.StatsSortOrder = 1;
        SS.Password = QStringLiteral("Mum");
        m_world->prompts.script({QStringLiteral("mum"), QStringLiteral("mum"), QStringLiteral("mum")});
        frmStats viewer(m_world->stats.Database(), m_world->prompts);
        // A name without ".pdf" gets it: never over a file of another kind.
        m_world->dialogs->answer(m_world->env.path(QStringLiteral("report")));
        Control<QAction>(&viewer, "mnuSavePDF")->trigger();
        const QString pdf = m_world->env.path(QStringLiteral("report.pdf"));
        QVERIFY(QFileInfo::exists(pdf));
        platform::Services::set(platform::linuxsvc::createDialogs());
        QStringList seen;
        QTimer inspector;
        inspector.callOnTimeout([&] {
            QWidget *modal = QApplication::activeModalWidget();
            if (auto *print = qobject_cast<QPrintDialog *>(modal)) {
                seen << (print->testOption(QAbstractPrintDialog::PrintToFile) ? "to a file" : "printers only");
                print->reject();
                print->parentWidget()->close();
            } else if (auto *preview = qobject_cast<QPrintPreviewDialog *>(modal)) {
                for (QAction *action : preview->findChildren<QAction *>())
                    if (action->text() == QLatin1String("Print"))
                        QMetaObject::invokeMethod(action, &QAction::trigger, Qt::QueuedConnection);
            } else if (auto *files = qobject_cast<QFileDialog *>(modal)) {
                seen << QStringLiteral("read-only %1, new folder %2")
                            .arg(files->testOption(QFileDialog::ReadOnly))
                            .arg(files->findChild<QWidget *>(QStringLiteral("newFolderButton"))->isVisible());
                static_cast<QDialog *>(files)->reject();
            }
        });
        inspector.start(20);
        Control<QAction>(&viewer, "mnuPrint")->trigger();
        Control<QAction>(&viewer, "mnuSavePDF")->trigger();
        QCOMPARE(seen, (QStringList{"printers only", "read-only 1, new folder 0"}));
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        QVERIFY(text.waitForFinished(20000));
        const QString page = QString::fromUtf8(text.readAllStandardOutput());
        QVERIFY2(page.contains(QStringLiteral("Brindle Version 1.0.0 - Execution Statistics")), qPrintable(page));
        QVERIFY(QRegularExpression(QStringLiteral("TITLE +HITS +TIME +LAST EXE\\. +PATH")).match(page).hasMatch());
        const QStringList expected = {QStringLiteral("gamma"), QStringLiteral("beta"), QStringLiteral("Alpha")};
        for (int i = 1; i < expected.size(); ++i)
            QVERIFY(page.indexOf(expected.at(i - 1)) < page.indexOf(expected.at(i)));
        QVERIFY(page.contains(QStringLiteral("01:01:40")));
    }

private:
    std::unique_ptr<MenuWorld> m_world;
};

QTEST_MAIN(TestStatsViewer)
#include "TestStatsViewer.moc"
