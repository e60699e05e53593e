#pragma once

#include "base/MenuControls.h"
#include "data/SettingsRecord.h"

#include <QList>
#include <QObject>

#include <functional>

class Command;
class QTimer;
class QWidget;

// The control array Menu of the menu form: Menu(i) is a Pellet Command
// control showing button record i of modGlobals::SS. Menu(0) always exists;
// the others are loaded and unloaded as the records come and go.
class MenuButtons : public QObject, public MenuControls
{
    Q_OBJECT

public:
    // The controls are children of form; editMode tells whether the parent is
    // editing the menu.
    MenuButtons(QWidget *form, std::function<bool()> editMode);
    ~MenuButtons() override;

    // nullptr for an index that is not loaded.
    Command *Menu(int index) const;
    int UBound() const override { return int(m_menu.size()) - 1; }
    bool IsLoaded(int index) const override { return Menu(index) != nullptr; }
    bool IsShown(int index) const override;
    platform::Pid ProcessId(int index) const override;
    void SetProcessId(int index, platform::Pid pid) override;
    void ClearProcess(int index) override;
    QString Caption(int index) const override;
    void SetCaption(int index, const QString &caption) override;
    void FocusMenu() override;
    platform::WindowId MenuWindow() const override;

    // index < 0 rebuilds the whole menu; index >= 0 loads or reloads one
    // button, loading its control when needed. With bringToFront the
    // control of index goes to the top of the z-order.
    void LoadButtons(int index, bool bringToFront = false);
    // Copies record index into Menu(index).
    void UpdateButton(int index);
    // Copies Menu(index)'s position back into its record.
    void SetButtonPos(int index);
    void RefreshPictures() override;
    // Repaints every control.
    void RefreshButtons();
    // Disables every button for the freeze time after a start; buttonDelayTimer
    // gives them back.
    void DelayAllButtons();

    QTimer *buttonDelayTimer = nullptr;

signals:
    void Click(int index);
    void DblClick(int index);
    // The whole menu was built anew for records 0 .. upperBound (-1: none).
    void rebuilt(int upperBound);
    // A single control was loaded at index.
    void buttonLoaded(int index);
    // While the loading screen is up, how much of the menu is built (0..1).
    void loadProgress(double fraction);
    // The mouse and keys of Menu(index), with the control's own arguments,
    // which a handler may change (CancelDownEffect).
    void MouseDown(int index, int &Button, int &Shift, float &X, float &Y, bool &CancelDownEffect);
    void MouseMove(int index, int &Button, int &Shift, float &X, float &Y);
    void MouseUp(int index, int &Button, int &Shift, float &X, float &Y);
    void KeyDown(int index, int &KeyCode, int &Shift);
    void KeyUp(int index, int &KeyCode, int &Shift);

private:
    BUTTON *record(int index) const;
    Command *load(int index);
    void unload(int index);
    void showRecord(int index, BUTTON &button);
    void onButtonDelayTimer();

    QWidget *m_form;
    std::function<bool()> m_editMode;
    QList<Command *> m_menu;
};
