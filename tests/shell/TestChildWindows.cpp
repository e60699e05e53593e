// Each button and menu item of each window a child opens without the password: no way to a file.
#include "MenuTestKit.h"

#include "frmMenu.h"
#include "menu/ShutdownDialog.h"
#include "menu/frmAbout.h"
#include "playtime/frmPassword.h"
#include "playtime/frmTimeExpired.h"
#include "programs/frmDLG.h"
#include "programs/frmTasks.h"
#include "stats/frmStats.h"

#include <Command.h>

#include <QAbstractButton>
#include <QFileDialog>
#include <QMenu>
#include <QtPrintSupport>
#include <QtTest>

using Target = QPair<QObject *, Qt::MouseButton>;

class TestChildWindows : public QObject
{
    Q_OBJECT

private slots:
    void noWayToFiles()
    {
        MenuWorld world;
        modGlobals::SS.Password = QStringLiteral("Mum");
        for (const char *link : {"stat", "applications", "shutdown_dialog", "resettimer", "/usr/bin/game"})
            world.addButton(QString::fromLatin1(link), QString::fromLatin1(link));
        const QList<std::function<QWidget *()>> windows{
            [&] { auto *menu = new frmMenu(nullptr, &world.prompts); menu->LoadButtons(-1); return menu; },
            [&] { return new frmStats(world.stats.Database(), world.prompts); },
            [] { return new frmTasks(nullptr); }, [] { return new frmAbout; }, [] { return new frmTimeExpired; },
            [] { return new frmPassword; }, [] { return new frmDLG("Game", "?"); }, [] { return new ShutdownDialog; }};
        QPointer<QWidget> current;
        QStringList seen;
        QTimer sweeper; // runs in the modal loops of the clicks too
        sweeper.callOnTimeout([&] {
            for (QWidget *shown : QApplication::topLevelWidgets()) {
                if (qobject_cast<QFileDialog *>(shown) || qobject_cast<QAbstractPrintDialog *>(shown)
                    || qobject_cast<QPrintPreviewDialog *>(shown))
                    seen << QString::fromLatin1(shown->metaObject()->className());
                if (shown != current)
                    shown->close();
            }
        });
        sweeper.start(10);
        for (const auto &open : windows) {
            for (int clicks = 0;; ++clicks) {
                std::unique_ptr<QWidget> window(open());
                (current = window.get())->show();
                QList<Target> targets{{window.get(), Qt::RightButton}};
                for (QAction *action : window->findChildren<QAction *>())
                    if (action->isEnabled() && !action->isSeparator() && !action->menu())
                        targets << Target(action, Qt::NoButton);
                for (QWidget *w : window->findChildren<QWidget *>())
                    if (w->isVisible() && w->isEnabled()
                        && (qobject_cast<QAbstractButton *>(w) || qobject_cast<Command *>(w)))
                        targets << Target(w, Qt::LeftButton) << Target(w, Qt::RightButton);
                if (clicks == targets.size())
                    break;
                if (auto *action = qobject_cast<QAction *>(targets.at(clicks).first))
                    action->trigger();
                else
                    QTest::mouseClick(static_cast<QWidget *>(targets.at(clicks).first), targets.at(clicks).second);
                QTest::qWait(20);
            }
        }
        QCOMPARE(seen, QStringList());
        for (const auto &shown : world.dialogs->shown()) // nor the usage record cleared
            QVERIFY2(!shown.kind.endsWith("file") && shown.text != "Clear list?", qPrintable(shown.text));
        QVERIFY(world.prompts.asked.contains(QStringLiteral("password:")));
        const QStringList opened{"password", "stats", "tasks", "about", "shutdown"}; // all of them above
        for (const QString &asked : std::as_const(world.prompts.asked))
            QVERIFY2(opened.contains(asked.section(':', 0, 0)), qPrintable(asked));
    }
};

QTEST_MAIN(TestChildWindows)
#include "TestChildWindows.moc"
