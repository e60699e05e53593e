#pragma once

#include "platform/Processes.h"
#include "platform/Windows.h"

#include <QString>

// What the logic needs of the menu's button controls (the control array
// Menu): how many there are, the program each one last started, and what
// they show. The menu form's buttons realise it; tests use a plain list.
class MenuControls
{
public:
    virtual ~MenuControls() = default;

    // The highest loaded index (0 when only Menu(0) exists).
    virtual int UBound() const = 0;
    virtual bool IsLoaded(int index) const = 0;
    // Loaded and not hidden.
    virtual bool IsShown(int index) const = 0;

    // The process slot (ExtraData): the program last started from the
    // button, 0 when none.
    virtual platform::Pid ProcessId(int index) const = 0;
    virtual void SetProcessId(int index, platform::Pid pid) = 0;
    // Empties both process slots (ExtraData and ExtraData2).
    virtual void ClearProcess(int index) = 0;

    // The caption as shown, which may differ from the stored one.
    virtual QString Caption(int index) const = 0;
    virtual void SetCaption(int index, const QString &caption) = 0;

    // Reloads every button picture.
    virtual void RefreshPictures() = 0;
    // Gives the keyboard focus back to the menu form, before a question.
    virtual void FocusMenu() = 0;
    // The menu form's own window, so that no close request goes to it.
    virtual platform::WindowId MenuWindow() const = 0;
};
