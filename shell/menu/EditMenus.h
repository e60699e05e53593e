#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class QAction;
class QMenu;
class QWidget;

// The two context menus of the menu form: mnuMenu on the background, btnMenu
// on a button in edit mode. Every item, separators and submenus included, is
// a QAction whose objectName is the item's name; this class knows which items
// show when, the commands are connected by their users.
class EditMenus : public QObject
{
    Q_OBJECT

public:
    explicit EditMenus(QWidget *form);

    QMenu *mnuMenu() const { return m_mnuMenu; }
    QMenu *btnMenu() const { return m_btnMenu; }
    // The item of that name; nullptr for an unknown name.
    QAction *item(const QString &name) const { return m_items.value(name); }

    // The items that exist only for edit mode show while it is on; spl01
    // only while it is off.
    void ShowEditItems(bool editMode);
    // Enables the button menu for a selection of `count` buttons whose
    // current one is locked or not.
    void EnableForSelection(int count, bool currentLocked);
    // One mnuPrset item per preset name; item 0 always exists.
    void MakePresetMenu(const QStringList &names);

signals:
    void presetChosen(int index);

private:
    QAction *add(QMenu *menu, const char *name, const QString &text, bool checkable = false);
    void separator(QMenu *menu, const char *name);
    QMenu *submenu(QMenu *menu, const char *name, const QString &text);
    QAction *presetItem(int index);

    QHash<QString, QAction *> m_items;
    QMenu *m_mnuMenu = nullptr;
    QMenu *m_btnMenu = nullptr;
    QMenu *m_mnuPresets = nullptr;
    QList<QAction *> m_prset;
};
