#pragma once

#include "base/MenuControls.h"

#include <QList>

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
