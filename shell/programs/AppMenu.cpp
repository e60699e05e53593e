#include "AppMenu.h"

#include "platform/Services.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

AppMenu::AppMenu(QWidget *form)
    : QObject(form)
{
    setObjectName(QStringLiteral("AppMenu"));
    mnuApps = new QMenu(form);
    mnuApps->setObjectName(QStringLiteral("mnuApps"));
    auto *first = mnuApps->addAction(QString());
    first->setObjectName(QStringLiteral("mApp_0"));
    first->setVisible(false);
    mApp.append(first);
    connect(mnuApps, &QMenu::triggered, this, &AppMenu::mApp_Click);
}

bool AppMenu::MakeAppList(const QList<ButtonWatchEntry> &watch, const QPoint &position)
{
    while (mApp.size() > 1)
        delete mApp.takeLast();
    mApp.first()->setVisible(false);

    int used = 0;
    for (const ButtonWatchEntry &button : watch) {
        for (int k = 0; k < button.Processes.size(); ++k) {
            const WatchedProcess &process = button.Processes.at(k);
            if (used == mApp.size()) {
                auto *item = mnuApps->addAction(QString());
                item->setObjectName(QStringLiteral("mApp_%1").arg(used));
                mApp.append(item);
            }
            QAction *item = mApp.at(used++);
            item->setVisible(true);
            // An ampersand in a caption is shown, not taken as a shortcut mark.
            item->setText(QString(process.ProcessCaption).replace(QLatin1Char('&'), QLatin1String("&&"))
                          + QStringLiteral(" (") + QString::number(k + 1) + QLatin1Char(')'));
            // The tag: the process id as decimal text.
            item->setData(QString::number(process.ProcessId));
        }
    }
    if (used == 0)
        return false;
    mnuApps->popup(position);
    return true;
}

void AppMenu::mApp_Click(QAction *item)
{
    bool ok = false;
    const platform::Pid pid = item->data().toString().toLongLong(&ok);
    if (ok && pid > 0)
        platform::Services::windows().setAppFocus(pid);
}
