#pragma once

#include "CoreFixture.h"

#include "base/MenuControls.h"
#include "stats/StatsStore.h"

#include <QList>

class Launcher;
class ProcessWatch;

// The menu's rules, activation, supervision and statistics, over button
// controls that the fixture below it chooses. Buttons are records added to SS.
class MenuRules : public CoreFixture
{
public:
    MenuRules();

    // A live, enabled, one-instance record with the given link, appended to SS.
    static BUTTON &addButton(const QString &caption, const QString &link);
    // An executable file below the program folder; returns its full path.
    QString makeProgram(const QString &relative);
    // Puts an empty data/stats.db into the program folder and opens it.
    bool openStats();
    // Rows of TAB_STAT as "Path|Executions|Seconds|Caption", ordered by rowid.
    QStringList statsRows() const;

    StatsStore stats;
    ProcessWatch *watch = nullptr;
    Launcher *launcher = nullptr;
    int orgResCalls = 0;

protected:
    // Makes the watch and the launcher over these controls, owned by owner.
    void makeRules(MenuControls &buttons, QObject *owner);
};

// The menu's buttons as the logic sees them: a caption and a program slot each.
class FakeMenuControls : public MenuControls
{
public:
    struct Button {
        QString caption;
        platform::Pid pid = 0;
    };
    QList<Button> buttons;
    int pictureRefreshes = 0;

    int UBound() const override { return std::max(0, int(buttons.size()) - 1); }
    bool IsLoaded(int index) const override { return index >= 0 && index < buttons.size(); }
    bool IsShown(int index) const override { return IsLoaded(index); }
    platform::Pid ProcessId(int index) const override { return IsLoaded(index) ? buttons[index].pid : 0; }
    void SetProcessId(int index, platform::Pid pid) override { buttons[index].pid = pid; }
    void ClearProcess(int index) override { buttons[index].pid = 0; }
    QString Caption(int index) const override { return IsLoaded(index) ? buttons[index].caption : QString(); }
    void SetCaption(int index, const QString &caption) override { buttons[index].caption = caption; }
    void RefreshPictures() override { ++pictureRefreshes; }
    void FocusMenu() override {}
    platform::WindowId MenuWindow() const override { return 1; }
};

// The rules without a form, over fake button controls. build() gives every
// record a control.
class LaunchWorld : public MenuRules
{
public:
    LaunchWorld() { makeRules(buttons, &m_owner); }
    void build();

    FakeMenuControls buttons;

private:
    QObject m_owner;
};
