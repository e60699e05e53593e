#include "MenuEditor.h"

#include "EditMenus.h"
#include "MenuButtons.h"
#include "MenuLayout.h"
#include "Presets.h"
#include "base/Prompts.h"
#include "base/modGlobals.h"
#include "base/modUtil.h"
#include "data/Backup.h"
#include "platform/Services.h"
#include "programs/ProcessWatch.h"

#include <Command.h>
#include <VbNumber.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTimer>
#include <QWidget>

#include <algorithm>

using modGlobals::SS;

namespace {

qint32 rounded(double value)
{
    return qint32(VbNumber::RoundHalfEven(value));
}

} // namespace

MenuEditor::MenuEditor(QWidget *form, MenuButtons *buttons, ProcessWatch *watch, Prompts &prompts)
    : QObject(form)
    , m_form(form)
    , m_buttons(buttons)
    , m_watch(watch)
    , m_prompts(prompts)
    , m_menus(new EditMenus(form))
{
    setObjectName(QStringLiteral("MenuEditor"));
    BackupTimer = new QTimer(form);
    BackupTimer->setObjectName(QStringLiteral("BackupTimer"));
    BackupTimer->setInterval(5000);
    connect(BackupTimer, &QTimer::timeout, this, [this] { emit saveRequested(true); });
    connectMenus();
}

void MenuEditor::connectMenus()
{
    auto on = [this](const char *name, auto slot) {
        connect(m_menus->item(QLatin1String(name)), &QAction::triggered, this, slot);
    };
    on("mnuEditMode", [this] {
        // The action has already flipped its mark; the commands decide it.
        QAction *mark = m_menus->item(QStringLiteral("mnuEditMode"));
        mark->setChecked(!mark->isChecked());
        mnuEditMode_Click();
    });
    on("mnuEditOffNoSave", [this] { mnuEditOffNoSave_Click(); });
    on("mnuNewButton", [this] { NewButton(); });
    on("mnuPaste", [this] { PasteButton(); });
    on("mnuEditPresets", [this] {
        if (const std::optional<Prompts::PresetList> presets = m_prompts.showPresets(Prompts::PresetList::Of(SS)))
            presets->StoreIn(SS);
    });
    // Wicket reads links.ini itself; the menu has nothing to refresh.
    on("mnuEditChildBrowserLinks", [this] { m_prompts.showLinksEditor(); });
    on("mnuSettings", [this] {
        if (m_prompts.showSettings([this] { emit settingsChanged(); }))
            emit settingsChanged();
    });
    on("mnuAbout", [this] { m_prompts.showAbout(); });
    on("mnuSnap", [this](bool checked) {
        SS.SnapToGrid = checked ? 1 : 0;
        emit backgroundChanged();
    });
    on("mnuCopy", [this] { MakeCopyButton(m_currentButton); });
    on("mnuCopyStyle", [this] { CopyStyle(); });
    on("mnuPasteStyle", [this] { PasteStyle(); });
    const char *const align[] = {"mnuAlignLeft", "mnuAlignCenter", "mnuAlignRight",
                                 "mnuAlignTop",  "mnuAlignMiddle", "mnuAlignBottom"};
    for (int mode = 0; mode < 6; ++mode)
        on(align[mode], [this, mode] { AlignButtons(mode); });
    const char *const sameSize[] = {"mnuSameSizeWidth", "mnuSameSizeHeight", "mnuSameSizeBoth"};
    for (int mode = 0; mode < 3; ++mode)
        on(sameSize[mode], [this, mode] { MakeSameSize(mode); });
    const char *const spacing[] = {"mnuHorisontalSpacingEqual", "mnuHorisontalSpacingRemove",
                                   "mnuVerticalSpacingEqual", "mnuVerticalSpacingRemove"};
    for (int mode = 0; mode < 4; ++mode)
        on(spacing[mode], [this, mode] { MakeSpacing(mode); });
    on("mnuSendToFront", [this] {
        if (Command *c = control(m_currentButton))
            c->raise();
    });
    on("mnuSendToBack", [this] {
        if (Command *c = control(m_currentButton))
            c->lower();
    });
    on("mnuSizeToDrag", [this] { m_menus->item(QStringLiteral("mnuSizeToDrag"))->setChecked(true); });
    on("mnuAlignToGrid", [this] { AlignToGrid(); });
    on("mnuSaveStylePreset", [this] { SaveStylePreset(); });
    on("mnuLocked", [this](bool checked) {
        setLockFlag(m_currentButton, checked);
        if (checked)
            emit backgroundChanged();
    });
    on("mnuLockButtons", [this] { LockButtons(true); });
    on("mnuUnlockButtons", [this] { LockButtons(false); });
    on("mnuRemoveButton", [this] { RemoveSelectedButtons(); });
    on("mnuButtonProperties", [this] { ShowProperties(m_currentButton); });
    connect(m_menus, &EditMenus::presetChosen, this, &MenuEditor::ApplyPreset);
}

bool MenuEditor::EditMode() const
{
    return m_menus->item(QStringLiteral("mnuEditMode"))->isChecked();
}

BUTTON *MenuEditor::record(int index) const
{
    if (index < 0 || index > SS.ButtonsMax || !SS.Buttons.has(index))
        return nullptr;
    return &SS.Buttons.at(index);
}

Command *MenuEditor::control(int index) const
{
    return record(index) ? m_buttons->Menu(index) : nullptr;
}

void MenuEditor::mnuEditMode_Click()
{
    if (EditMode())
        LeaveEditMode();
    else
        EnterEditMode();
}

void MenuEditor::EnterEditMode()
{
    if (EditMode() || !PasswordOK(m_prompts, QString(), false))
        return;
    const bool running = std::any_of(m_watch->ButtonWatch.cbegin(), m_watch->ButtonWatch.cend(),
                                      [](const ButtonWatchEntry &entry) { return !entry.Processes.isEmpty(); });
    if (running) {
        const int answer = platform::Services::dialogs().msgBox(
            QStringLiteral("Warning, Information about open applications, will be lost!\r\n\r\nContinue?"),
            platform::Msg::Exclamation | platform::Msg::OKCancel | platform::Msg::SystemModal);
        if (answer != platform::Msg::OK)
            return;
    }
    emit editModeEntered();
    if (auto error = Backup::WriteMarker(modGlobals::AppPath()))
        modGlobals::WriteLog(QStringLiteral("EnterEditMode()::") + error->Description);
    BackupTimer->start();

    m_menus->ShowEditItems(true);
    m_menus->item(QStringLiteral("mnuPaste"))->setEnabled(m_clipFilled);
    QAction *snap = m_menus->item(QStringLiteral("mnuSnap"));
    snap->setEnabled(true);
    snap->setChecked(SS.SnapToGrid == 1);
    m_menus->item(QStringLiteral("mnuRefresh"))->setEnabled(false);
    m_menus->item(QStringLiteral("mnuEditMode"))->setChecked(true);

    for (int i = 0; i <= m_buttons->UBound(); ++i) {
        Command *c = control(i);
        if (!c)
            continue;
        const BUTTON &b = *record(i);
        // Variables show as the parent typed them.
        c->setCaption(b.Caption);
        c->setEnabled(true);
        c->setDrawAsDisabled(b.Enabled == 0);
        c->setAutoUpdTsp(c->ButtonType() == Command::BType::Transparent);
        c->setMouseOverEffect(false);
    }
    emit backgroundChanged();
}

void MenuEditor::LeaveEditMode()
{
    if (!EditMode())
        return;
    emit editModeLeaving();
    m_menus->ShowEditItems(false);
    m_menus->item(QStringLiteral("mnuEditMode"))->setChecked(false);
    BackupTimer->stop();
    ClearSelection();
    for (int i = 0; i <= m_buttons->UBound(); ++i) {
        Command *c = control(i);
        if (!c)
            continue;
        const BUTTON &b = *record(i);
        c->setEnabled(b.Enabled != 0);
        c->setFocusRect(false);
        c->setDrawAsDisabled(false);
        c->setAutoUpdTsp(false);
        c->setMousePointer(0);
        c->setMouseOverEffect(b.ExtraStrings.has(1) && VbNumber::Val(b.ExtraStrings.at(1)) == 1.0);
        // What the menu shows until the live captions fill in their values.
        c->setCaption(modUtil::ExpandPathVars(b.Caption));
    }
    m_menus->item(QStringLiteral("mnuPasteStyle"))->setEnabled(false);
    emit backgroundChanged();
    m_menus->item(QStringLiteral("mnuRefresh"))->setEnabled(true);
    m_menus->item(QStringLiteral("mnuSnap"))->setEnabled(false);
    m_buttons->RefreshButtons();
    m_menus->item(QStringLiteral("mnuPaste"))->setEnabled(false);
    m_menus->item(QStringLiteral("mnuSizeToDrag"))->setChecked(false);
    emit editModeLeft();
    if (m_discardOnLeave) {
        m_discardOnLeave = false;
        if (!Backup::RemoveMarker(modGlobals::AppPath()))
            modGlobals::WriteLog(QStringLiteral("LeaveEditMode()::Cannot delete ") + Backup::MarkerPath(modGlobals::AppPath()));
    } else {
        emit saveRequested(false);
    }
}

void MenuEditor::mnuEditOffNoSave_Click()
{
    const int answer = platform::Services::dialogs().msgBox(QStringLiteral("Discard changes?"),
                                                            platform::Msg::Exclamation | platform::Msg::OKCancel);
    if (answer != platform::Msg::OK)
        return;
    m_discardOnLeave = true;
    LeaveEditMode();
    m_discardOnLeave = false;
    emit reloadRequested();
}

QList<int> MenuEditor::Buttons() const
{
    QList<int> list;
    for (int i = 0; i <= m_buttons->UBound(); ++i)
        if (Command *c = control(i); c && !c->isHidden())
            list << i;
    return list;
}

bool MenuEditor::IsLocked(int index) const
{
    const BUTTON *b = record(index);
    return b && b->ExtraStrings.has(0) && b->ExtraStrings.at(0) == QLatin1String("1");
}

bool MenuEditor::IsSelected(int index) const
{
    const Command *c = control(index);
    return c && c->Selected();
}

void MenuEditor::SetSelected(int index, bool selected)
{
    if (Command *c = control(index)) {
        c->setSelected(selected);
        record(index)->Selected = selected ? VbTrue : VbFalse;
    }
}

void MenuEditor::ClearSelection()
{
    for (int i = 0; i <= m_buttons->UBound(); ++i)
        SetSelected(i, false);
}

QList<int> MenuEditor::SelectedButtons() const
{
    QList<int> list;
    for (int i = 0; i <= m_buttons->UBound(); ++i)
        if (IsSelected(i))
            list << i;
    return list;
}

int MenuEditor::GetSelectedObjects() const
{
    return int(SelectedButtons().size());
}

bool MenuEditor::IsMultiSelection() const
{
    return GetSelectedObjects() >= 2;
}

QRect MenuEditor::ButtonRect(int index) const
{
    const Command *c = control(index);
    return c ? c->geometry() : QRect();
}

void MenuEditor::MoveButton(int index, double left, double top)
{
    Command *c = control(index);
    if (!c)
        return;
    BUTTON &b = *record(index);
    b.Left = rounded(left);
    b.Top = rounded(top);
    c->move(b.Left, b.Top);
}

void MenuEditor::SizeButton(int index, double width, double height)
{
    Command *c = control(index);
    if (!c)
        return;
    BUTTON &b = *record(index);
    b.Width = rounded(width);
    b.Height = rounded(height);
    c->resize(std::max(0, b.Width), std::max(0, b.Height));
}

void MenuEditor::SnapButton(int index, bool force)
{
    if (!force && SS.SnapToGrid != 1)
        return;
    const int g = SS.GridSize;
    const QRect r = ButtonRect(index);
    if (g <= 0 || r.isNull())
        return;
    const QRect snapped = MenuLayout::Snapped(r, g);
    MoveButton(index, snapped.x(), snapped.y());
    SizeButton(index, snapped.width(), snapped.height());
}

void MenuEditor::AlignToGrid()
{
    if (IsMultiSelection()) {
        for (int i : SelectedButtons())
            SnapButton(i, true);
    } else {
        SnapButton(m_currentButton, true);
    }
}

void MenuEditor::AlignButtons(int mode)
{
    const QRect r = ButtonRect(m_currentButton);
    if (r.isNull())
        return;
    for (int i : SelectedButtons()) {
        if (i == m_currentButton)
            continue;
        const std::optional<QPointF> to = MenuLayout::Aligned(r, ButtonRect(i), mode);
        if (!to)
            return;
        MoveButton(i, to->x(), to->y());
    }
}

void MenuEditor::MakeSameSize(int mode)
{
    const QRect r = ButtonRect(m_currentButton);
    if (r.isNull())
        return;
    for (int i : SelectedButtons()) {
        const QSize size = MenuLayout::SameSize(r, ButtonRect(i), mode);
        SizeButton(i, size.width(), size.height());
    }
}

void MenuEditor::MakeSpacing(int mode)
{
    MenuLayout::Placed selected;
    for (int i : SelectedButtons())
        selected.append({i, ButtonRect(i)});
    const bool horizontal = mode < 2;
    for (const auto &[i, p] : MenuLayout::Spaced(selected, mode)) {
        const QRect r = ButtonRect(i);
        MoveButton(i, horizontal ? p : r.x(), horizontal ? r.y() : p);
    }
}

void MenuEditor::ShowBackgroundMenu(const QPoint &formPoint, const QPoint &screenPoint)
{
    m_menuPoint = formPoint;
    m_menuScreenPoint = screenPoint;
    m_menus->mnuMenu()->popup(screenPoint);
}

void MenuEditor::ShowButtonMenu(int index, const QPoint &screenPoint)
{
    if (!control(index))
        return;
    if (!IsSelected(index))
        ClearSelection();
    SetSelected(index, true);
    m_currentButton = index;
    m_menus->EnableForSelection(GetSelectedObjects(), IsLocked(index));
    m_menus->MakePresetMenu(Presets::Names(SS));
    m_menus->btnMenu()->popup(screenPoint);
}

int MenuEditor::appendRecord(const BUTTON &button)
{
    const qint32 index = SS.ButtonsMax + 1;
    if (!SS.Buttons.exists)
        SS.Buttons.redim(index);
    else if (SS.Buttons.upperBound() < index)
        SS.Buttons.items.resize(index + 1 - SS.Buttons.lowerBound);
    SS.ButtonsMax = index;
    SS.Buttons.at(index) = button;
    return index;
}

void MenuEditor::NewButton()
{
    const std::optional<BUTTON> made = m_prompts.editButton(std::nullopt);
    if (!made)
        return;
    BUTTON button = *made;
    button.InUse = 1;
    button.Left = rounded(m_menuPoint.x() - button.Width / 2.0);
    button.Top = rounded(m_menuPoint.y() - button.Height / 2.0);
    m_buttons->LoadButtons(appendRecord(button));
}

void MenuEditor::PasteButton()
{
    BUTTON button = m_clipRecord;
    button.InUse = 1;
    // The screen point of the menu's click, where the form lies on the screen.
    const QPoint at = m_form->mapFromGlobal(m_menuScreenPoint);
    button.Left = rounded(at.x() - button.Width / 2.0);
    button.Top = rounded(at.y() - button.Height / 2.0);
    m_buttons->LoadButtons(appendRecord(button));
}

void MenuEditor::RemoveSelectedButtons()
{
    m_form->setFocus();
    const int count = GetSelectedObjects();
    const int answer = platform::Services::dialogs().msgBox(
        QStringLiteral("Do you want to remove ") + QString::number(count) + QStringLiteral(" object(s) ?"),
        platform::Msg::Exclamation | platform::Msg::OKCancel | platform::Msg::SystemModal);
    if (answer != platform::Msg::OK || count < 1)
        return;
    for (;;) {
        int found = -1;
        for (int i = 0; i <= SS.ButtonsMax && found < 0; ++i)
            if (record(i)->Selected != 0)
                found = i;
        if (found < 0)
            break;
        RemoveButton(found);
    }
    m_buttons->LoadButtons(-1);
    for (int i = 0; i <= m_buttons->UBound(); ++i)
        m_buttons->Menu(i)->setEnabled(true);
}

void MenuEditor::RemoveButton(int index)
{
    if (!record(index))
        return;
    if (SS.ButtonsMax == 0) {
        SS.ButtonsMax = -1;
        SS.Buttons.redim(0);
        m_buttons->Menu(0)->hide();
        return;
    }
    SS.Buttons.items.removeAt(index - SS.Buttons.lowerBound);
    --SS.ButtonsMax;
    SS.Buttons.items.resize(SS.ButtonsMax + 1 - SS.Buttons.lowerBound);
    if (m_currentButton == index)
        m_currentButton = -1;
}

void MenuEditor::MakeCopyButton(int index)
{
    const BUTTON *b = record(index);
    if (!b)
        return;
    m_clipRecord = *b;
    m_clipFilled = true;
    m_menus->item(QStringLiteral("mnuPaste"))->setEnabled(true);
}

void MenuEditor::CopyStyle()
{
    const BUTTON *b = record(m_currentButton);
    if (!b)
        return;
    m_clipRecord = *b;
    m_menus->item(QStringLiteral("mnuPasteStyle"))->setEnabled(true);
}

void MenuEditor::PasteStyle()
{
    QList<int> targets = SelectedButtons();
    if (!targets.contains(m_currentButton))
        targets << m_currentButton;
    for (int i : targets) {
        if (BUTTON *b = record(i)) {
            Presets::CopyStyle(m_clipRecord, *b);
            m_buttons->UpdateButton(i);
        }
    }
}

void MenuEditor::ShowProperties(int index)
{
    const BUTTON *b = record(index);
    if (!b)
        return;
    m_currentButton = index;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QCoreApplication::processEvents();
    const std::optional<BUTTON> edited = m_prompts.editButton(*b);
    if (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    if (edited && record(index)) {
        *record(index) = *edited;
        m_buttons->LoadButtons(index);
        Command *c = control(index);
        c->setEnabled(true);
        c->setDrawAsDisabled(edited->Enabled == 0);
        c->setAutoUpdTsp(edited->Transparent != 0);
        c->setMouseOverEffect(false);
    }
    m_currentButton = -1;
}

void MenuEditor::SaveStylePreset()
{
    if (const BUTTON *b = record(m_currentButton))
        Presets::SaveStylePreset(SS, *b, m_lastPresetName);
}

void MenuEditor::ApplyPreset(int preset)
{
    if (preset < 0 || preset > SS.PresetsMax || !SS.Presets.has(preset))
        return;
    const BUTTON style = SS.Presets.at(preset);
    QList<int> targets = SelectedButtons();
    if (!targets.contains(m_currentButton))
        targets << m_currentButton;
    for (int i : targets) {
        if (BUTTON *b = record(i)) {
            Presets::ApplyPreset(style, *b);
            m_buttons->UpdateButton(i);
        }
    }
}

void MenuEditor::setLockFlag(int index, bool locked)
{
    BUTTON *b = record(index);
    if (!b)
        return;
    b->EnsureExtraStrings();
    b->ExtraStrings.at(0) = locked ? QStringLiteral("1") : QStringLiteral("0");
}

void MenuEditor::LockButtons(bool lock)
{
    for (int i : SelectedButtons())
        setLockFlag(i, lock);
}
