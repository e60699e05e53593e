#pragma once

#include "data/SettingsRecord.h"

#include <QList>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QString>

class Command;
class EditMenus;
class MenuButtons;
class ProcessWatch;
class Prompts;
class QTimer;
class QWidget;

// Edit mode of the menu form: entering and leaving it, the selection, the
// layout commands of the two context menus, the clipboard of one button
// record, new, paste and remove, properties and presets. Every change goes
// to the control and to its record in modGlobals::SS; the settings file is
// only written through saveRequested.
class MenuEditor : public QObject
{
    Q_OBJECT

public:
    MenuEditor(QWidget *form, MenuButtons *buttons, ProcessWatch *watch, Prompts &prompts);

    EditMenus *Menus() const { return m_menus; }
    // 5000 ms, running while edit mode is on: each tick wants a backup.
    QTimer *BackupTimer = nullptr;

    // The check mark of mnuEditMode.
    bool EditMode() const;
    int CurrentButton() const { return m_currentButton; }
    bool ClipFilled() const { return m_clipFilled; }
    QPoint MenuPoint() const { return m_menuPoint; }

    // The click on mnuEditMode: enters or leaves by its check mark.
    void mnuEditMode_Click();
    void EnterEditMode();
    void LeaveEditMode();
    // "Cancel (Discard Changes)": leaves without saving and reloads the files.
    void mnuEditOffNoSave_Click();

    // Buttons with a visible control, in index order.
    QList<int> Buttons() const;
    bool IsLocked(int index) const;
    bool IsSelected(int index) const;
    void SetSelected(int index, bool selected);
    void ClearSelection();
    int GetSelectedObjects() const;
    bool IsMultiSelection() const;
    QList<int> SelectedButtons() const;

    // The control's rectangle in form pixels.
    QRect ButtonRect(int index) const;
    // Moves or sizes the control and writes its record, rounding halves to even.
    void MoveButton(int index, double left, double top);
    void SizeButton(int index, double width, double height);
    void SnapButton(int index, bool force);
    void AlignToGrid();
    void AlignButtons(int mode);   // 0 Left, 1 Center, 2 Right, 3 Top, 4 Middle, 5 Bottom
    void MakeSameSize(int mode);   // 0 Width, 1 Height, 2 Both
    void MakeSpacing(int mode);    // 0/2 horizontal/vertical equal, 1/3 remove

    // The background menu at a form point (and the screen point of the same click).
    void ShowBackgroundMenu(const QPoint &formPoint, const QPoint &screenPoint);
    // The button menu for a right click on button index.
    void ShowButtonMenu(int index, const QPoint &screenPoint);

    void NewButton();
    void PasteButton();
    void RemoveSelectedButtons();
    void RemoveButton(int index);
    void MakeCopyButton(int index);
    void CopyStyle();
    void PasteStyle();
    // The properties dialog for button index, which becomes CurrentButton.
    void ShowProperties(int index);
    void SaveStylePreset();
    void ApplyPreset(int preset);
    void LockButtons(bool lock);

signals:
    // Edit mode is really entered: the play clock and the live captions stop.
    void editModeEntered();
    // Edit mode is about to end: the play clock may ask to restart its period.
    void editModeLeaving();
    // Edit mode has ended: live captions run again, pointer gestures end.
    void editModeLeft();
    void saveRequested(bool asBackup);
    // The data files are to be read again and the menu rebuilt.
    void reloadRequested();
    // The background is to be painted again (grid points).
    void backgroundChanged();
    // The settings dialog stored new settings (Apply while it is open, or
    // OK): the menu is to take them.
    void settingsChanged();

private:
    BUTTON *record(int index) const;
    Command *control(int index) const;
    int appendRecord(const BUTTON &button);
    void setLockFlag(int index, bool locked);
    void connectMenus();

    QWidget *m_form;
    MenuButtons *m_buttons;
    ProcessWatch *m_watch;
    Prompts &m_prompts;
    EditMenus *m_menus;

    int m_currentButton = -1;
    BUTTON m_clipRecord;
    bool m_clipFilled = false;
    QPoint m_menuPoint;
    QPoint m_menuScreenPoint;
    bool m_discardOnLeave = false;
    QString m_lastPresetName;
};
