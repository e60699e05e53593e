#pragma once

#include "ProcessWatch.h"

#include <QList>
#include <QObject>
#include <QPoint>

class QAction;
class QMenu;
class QWidget;

// The application menu mnuApps: one item mApp(n) per program started from the
// menu and still watched; choosing one brings that program to the front.
class AppMenu : public QObject
{
    Q_OBJECT

public:
    explicit AppMenu(QWidget *form);

    // Builds the items from the watch list and pops the menu up at position.
    // False, with nothing shown, when no program is watched.
    bool MakeAppList(const QList<ButtonWatchEntry> &watch, const QPoint &position);

private:
    void mApp_Click(QAction *item);

    QMenu *mnuApps = nullptr;
    // mApp(0) always exists; it is hidden while unused.
    QList<QAction *> mApp;
};
