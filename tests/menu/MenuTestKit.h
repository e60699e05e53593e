#pragma once

#include "ScriptedPrompts.h"
#include "TestEnv.h"

#include "data/SettingsRecord.h"
#include "platform/ScriptedDialogs.h"
#include "platform/fakes/FakeDisplay.h"
#include "platform/fakes/FakePower.h"
#include "platform/fakes/FakeProcesses.h"
#include "platform/fakes/FakeSound.h"
#include "platform/fakes/FakeWindows.h"
#include "stats/StatsStore.h"

#include <QString>
#include <QWidget>

class Launcher;
class MenuButtons;
class ProcessWatch;

// A menu with its supervision, activation and statistics over fake platform
// services, in a private program folder. Buttons are added to the settings
// record and shown with build().
class MenuWorld
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

    TestEnv env;
    QWidget form;
    platform::FakeProcesses *processes = nullptr;
    platform::FakeWindows *windows = nullptr;
    platform::FakeDisplay *display = nullptr;
    platform::FakePower *power = nullptr;
    platform::FakeSound *sound = nullptr;
    platform::ScriptedDialogs *dialogs = nullptr;
    ScriptedPrompts prompts;
    StatsStore stats;
    MenuButtons *buttons = nullptr;
    ProcessWatch *watch = nullptr;
    Launcher *launcher = nullptr;
    bool editMode = false;
    int orgResCalls = 0;
};
