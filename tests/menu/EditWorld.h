#pragma once

#include "MenuTestKit.h"

#include "base/modGlobals.h"
#include "frmMenu.h"
#include "menu/EditGestures.h"
#include "menu/MenuEditor.h"

#include <Command.h>

#include <QAction>
#include <QMenu>
#include <QTest>

// A real menu form of 600 x 400 pixels over fake platform services, whose
// questions are answered by world.prompts and world.dialogs.
struct EditWorld {
    MenuWorld world;
    frmMenu menu{nullptr, &world.prompts};

    // Button i (in order of adding) with caption "Bi" and this rectangle.
    BUTTON &add(const QRect &rect)
    {
        BUTTON &b = world.addButton(QStringLiteral("B%1").arg(modGlobals::SS.ButtonsMax + 1), QString());
        b.Left = rect.x();
        b.Top = rect.y();
        b.Width = rect.width();
        b.Height = rect.height();
        return b;
    }
    bool show()
    {
        menu.resize(600, 400);
        menu.LoadButtons(-1);
        menu.show();
        return QTest::qWaitForWindowExposed(&menu);
    }
    MenuEditor *editor() { return menu.findChild<MenuEditor *>(); }
    EditGestures *gestures() { return menu.findChild<EditGestures *>(); }
    Command *button(int i) { return menu.Menu(i); }
    QAction *item(const char *name) { return menu.findChild<QAction *>(QLatin1String(name)); }
    // Clicks a menu item as a person would, then closes the context menus.
    void trigger(const char *name)
    {
        item(name)->trigger();
        for (QMenu *m : menu.findChildren<QMenu *>())
            m->hide();
    }
    void enter() { trigger("mnuEditMode"); }
    // The record's rectangle when its control shows the same, else a null rectangle.
    QRect rect(int i)
    {
        const BUTTON &b = modGlobals::SS.Buttons.at(i);
        const QRect r(b.Left, b.Top, b.Width, b.Height);
        return button(i)->geometry() == r ? r : QRect();
    }
    void rightClick(QWidget *on, const QPoint &at) { QTest::mouseClick(on, Qt::RightButton, {}, at); }
    // Picks an item of button i's context menu.
    void onButton(int i, const char *name)
    {
        rightClick(button(i), {5, 5});
        trigger(name);
    }
};
