#include "EditMenus.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

namespace {

// Items that only make sense while the menu is being edited.
const char *const editOnlyItems[] = {"mnuNewButton", "mnuPaste",    "spl07",   "mnuEditPresets",
                                     "spl03",        "mnuEditChildBrowserLinks", "spleof",
                                     "mnuEditOffNoSave", "bspl09",  "mnuSnap", "spl08", "mnuSettings"};

} // namespace

EditMenus::EditMenus(QWidget *form)
    : QObject(form)
{
    setObjectName(QStringLiteral("EditMenus"));

    m_mnuMenu = new QMenu(form);
    m_mnuMenu->setObjectName(QStringLiteral("mnuMenu"));
    QMenu *m = m_mnuMenu;
    add(m, "mnuNewButton", tr("New button..."));
    add(m, "mnuPaste", tr("Paste"));
    separator(m, "spl07");
    add(m, "mnuEditPresets", tr("Button Presets..."));
    separator(m, "spl03");
    add(m, "mnuEditChildBrowserLinks", tr("Wicket Links..."));
    add(m, "mnuEditMode", tr("Edit mode"), true);
    separator(m, "spleof");
    add(m, "mnuEditOffNoSave", tr("Cancel (Discard Changes)"));
    separator(m, "mnusplsn01");
    add(m, "mnuRefresh", tr("Refresh"));
    separator(m, "spl02");
    add(m, "mnuSettings", tr("Settings..."));
    separator(m, "bspl09");
    add(m, "mnuSnap", tr("Snap to grid"), true);
    separator(m, "spl08");
    add(m, "mnuAbout", tr("About..."));
    separator(m, "spl01");
    add(m, "mnuExit", tr("Exit"));

    m_btnMenu = new QMenu(form);
    m_btnMenu->setObjectName(QStringLiteral("btnMenu"));
    QMenu *b = m_btnMenu;
    add(b, "mnuCopy", tr("Copy"));
    separator(b, "bspl01");
    add(b, "mnuCopyStyle", tr("Copy Style"));
    add(b, "mnuPasteStyle", tr("Paste Style"));
    separator(b, "spl05");
    QMenu *align = submenu(b, "mnuAlign", tr("Align"));
    add(align, "mnuAlignLeft", tr("Left"));
    add(align, "mnuAlignCenter", tr("Center"));
    add(align, "mnuAlignRight", tr("Right"));
    separator(align, "alspl01");
    add(align, "mnuAlignTop", tr("Top"));
    add(align, "mnuAlignMiddle", tr("Middle"));
    add(align, "mnuAlignBottom", tr("Bottom"));
    QMenu *same = submenu(b, "mnuMakeSameSize", tr("Make Same Size"));
    add(same, "mnuSameSizeWidth", tr("Width"));
    add(same, "mnuSameSizeHeight", tr("Height"));
    add(same, "mnuSameSizeBoth", tr("Both"));
    separator(b, "alspl03");
    QMenu *horizontal = submenu(b, "mnuHorisontalSpacing", tr("Horisontal Spacing"));
    add(horizontal, "mnuHorisontalSpacingEqual", tr("Make Equal"));
    add(horizontal, "mnuHorisontalSpacingRemove", tr("Remove"));
    QMenu *vertical = submenu(b, "mnuVerticalSpacing", tr("Vertical Spacing"));
    add(vertical, "mnuVerticalSpacingEqual", tr("Make Equal"));
    add(vertical, "mnuVerticalSpacingRemove", tr("Remove"));
    separator(b, "algSpc02");
    add(b, "mnuSendToFront", tr("Bring To Front"));
    add(b, "mnuSendToBack", tr("Send To Back"));
    separator(b, "bfsp01");
    add(b, "mnuSizeToDrag", tr("Size to Drag-selection..."), true);
    separator(b, "algSpc03");
    add(b, "mnuAlignToGrid", tr("Align To Grid"));
    separator(b, "splal01");
    m_mnuPresets = submenu(b, "mnuPresets", tr("Presets"));
    presetItem(0)->setVisible(false);
    add(b, "mnuSaveStylePreset", tr("Save Style as Preset..."));
    separator(b, "bspl02");
    add(b, "mnuLocked", tr("Locked"), true);
    add(b, "mnuLockButtons", tr("Lock"));
    add(b, "mnuUnlockButtons", tr("UnLock"));
    separator(b, "spl06");
    add(b, "mnuRemoveButton", tr("Remove button..."));
    separator(b, "spl09");
    add(b, "mnuButtonProperties", tr("Properties..."));

    item(QStringLiteral("mnuPaste"))->setEnabled(false);
    item(QStringLiteral("mnuPasteStyle"))->setEnabled(false);
    item(QStringLiteral("mnuSnap"))->setEnabled(false);
    m_mnuPresets->menuAction()->setEnabled(false);
    ShowEditItems(false);
}

QAction *EditMenus::add(QMenu *menu, const char *name, const QString &text, bool checkable)
{
    QAction *action = menu->addAction(text);
    action->setObjectName(QLatin1String(name));
    action->setCheckable(checkable);
    m_items.insert(action->objectName(), action);
    return action;
}

void EditMenus::separator(QMenu *menu, const char *name)
{
    QAction *action = menu->addSeparator();
    action->setObjectName(QLatin1String(name));
    m_items.insert(action->objectName(), action);
}

QMenu *EditMenus::submenu(QMenu *menu, const char *name, const QString &text)
{
    QMenu *sub = menu->addMenu(text);
    sub->setObjectName(QLatin1String(name));
    sub->menuAction()->setObjectName(QLatin1String(name));
    m_items.insert(sub->objectName(), sub->menuAction());
    return sub;
}

QAction *EditMenus::presetItem(int index)
{
    while (m_prset.size() <= index) {
        const int i = int(m_prset.size());
        QAction *action = m_mnuPresets->addAction(QString());
        action->setObjectName(QStringLiteral("mnuPrset"));
        action->setData(i);
        connect(action, &QAction::triggered, this, [this, i] { emit presetChosen(i); });
        m_prset.append(action);
    }
    return m_prset.at(index);
}

void EditMenus::ShowEditItems(bool editMode)
{
    for (const char *name : editOnlyItems)
        item(QLatin1String(name))->setVisible(editMode);
    item(QStringLiteral("spl01"))->setVisible(!editMode);
}

void EditMenus::EnableForSelection(int count, bool currentLocked)
{
    const bool single = count < 2;
    for (const char *name : {"mnuSendToBack", "mnuSendToFront", "mnuSizeToDrag", "mnuCopy", "mnuCopyStyle",
                             "mnuButtonProperties", "mnuSaveStylePreset"})
        item(QLatin1String(name))->setEnabled(single);
    for (const char *name : {"mnuAlign", "mnuMakeSameSize", "mnuHorisontalSpacing", "mnuVerticalSpacing"})
        item(QLatin1String(name))->setEnabled(!single);
    item(QStringLiteral("mnuHorisontalSpacingEqual"))->setEnabled(count >= 3);
    item(QStringLiteral("mnuVerticalSpacingEqual"))->setEnabled(count >= 3);
    QAction *locked = item(QStringLiteral("mnuLocked"));
    locked->setVisible(single);
    locked->setChecked(currentLocked);
    item(QStringLiteral("mnuLockButtons"))->setVisible(!single);
    item(QStringLiteral("mnuUnlockButtons"))->setVisible(!single);
}

void EditMenus::MakePresetMenu(const QStringList &names)
{
    while (m_prset.size() > 1)
        delete m_prset.takeLast();
    for (int i = 0; i < names.size(); ++i) {
        QAction *action = presetItem(i);
        // An ampersand in a name is shown, not taken as a shortcut mark.
        action->setText(QString(names.at(i)).replace(QLatin1Char('&'), QLatin1String("&&")));
        action->setVisible(true);
    }
    if (names.isEmpty())
        m_prset.at(0)->setVisible(false);
    m_mnuPresets->menuAction()->setEnabled(!names.isEmpty());
}
