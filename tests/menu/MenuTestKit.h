#pragma once

#include "ShellFixture.h"

#include "stats/StatsStore.h"

#include <QString>
#include <QWidget>

class Launcher;
class MenuButtons;
class ProcessWatch;

// The shared fixture with a menu: its buttons, supervision, activation and
// statistics on a bare form. Buttons are added to the settings record and
// shown with build().
class MenuWorld : public ShellFixture
{
public:
    // With fakes false the real Linux/X11 services stay in place.
    explicit MenuWorld(bool fakes = true);
    ~MenuWorld();

    // A live, enabled, one-instance record with the given link.
    BUTTON &addButton(const QString &caption, const QString &link);
    void build();

    // An executable file below the program folder; returns its full path.
    QString makeProgram(const QString &relative);
    // Puts an empty data/stats.db into the program folder and opens it.
    bool openStats();
    // Rows of TAB_STAT as "Path|Executions|Seconds|Caption", ordered by rowid.
    QStringList statsRows();

    QWidget form;
    StatsStore stats;
    MenuButtons *buttons = nullptr;
    ProcessWatch *watch = nullptr;
    Launcher *launcher = nullptr;
    bool editMode = false;
    int orgResCalls = 0;
};
