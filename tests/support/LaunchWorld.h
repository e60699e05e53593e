#pragma once

#include "CoreFixture.h"
#include "FakeMenuControls.h"

#include "stats/StatsStore.h"

class Launcher;
class ProcessWatch;

// Records and statistics of the button menu, shared by the tests of its rules
// and of its forms.
namespace menukit {
// A live, enabled, one-instance record with the given link, appended to SS.
BUTTON &addButton(const QString &caption, const QString &link);
// An executable file below the program folder; returns its full path.
QString makeProgram(const TestEnv &env, const QString &relative);
// Puts an empty data/stats.db into the program folder and opens it.
bool openStats(StatsStore &stats, const TestEnv &env);
// Rows of TAB_STAT as "Path|Executions|Seconds|Caption", ordered by rowid.
QStringList statsRows(const StatsStore &stats);
} // namespace menukit

// The menu's rules without a form: activation, supervision and statistics
// over fake button controls. build() gives every record a control.
class LaunchWorld : public CoreFixture
{
public:
    LaunchWorld();
    ~LaunchWorld();

    BUTTON &addButton(const QString &caption, const QString &link) { return menukit::addButton(caption, link); }
    void build();
    QString makeProgram(const QString &relative) { return menukit::makeProgram(env, relative); }
    bool openStats() { return menukit::openStats(stats, env); }
    QStringList statsRows() const { return menukit::statsRows(stats); }

    StatsStore stats;
    FakeMenuControls buttons;
    ProcessWatch *watch = nullptr;
    Launcher *launcher = nullptr;
    int orgResCalls = 0;

private:
    QObject m_owner;
};
