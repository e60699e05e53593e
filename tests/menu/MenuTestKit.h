#pragma once

#include "LaunchWorld.h"
#include "ShellFixture.h"

#include <QString>
#include <QWidget>

class Launcher;
class MenuButtons;
class ProcessWatch;

// The shared fixture with a menu: its buttons, supervision, activation and
// statistics on a bare form. Buttons are added to the settings record (see
// LaunchWorld.h) and shown with build().
class MenuWorld : public ShellFixture
{
public:
    // With fakes false the real Linux/X11 services stay in place.
    explicit MenuWorld(bool fakes = true);
    ~MenuWorld();

    BUTTON &addButton(const QString &caption, const QString &link) { return menukit::addButton(caption, link); }
    void build();
    QString makeProgram(const QString &relative) { return menukit::makeProgram(env, relative); }
    bool openStats() { return menukit::openStats(stats, env); }
    QStringList statsRows() const { return menukit::statsRows(stats); }

    QWidget form;
    StatsStore stats;
    MenuButtons *buttons = nullptr;
    ProcessWatch *watch = nullptr;
    Launcher *launcher = nullptr;
    bool editMode = false;
    int orgResCalls = 0;
};
