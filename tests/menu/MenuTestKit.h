#pragma once

#include "LaunchWorld.h"

#include "menu/MenuButtons.h"
#include "programs/ProcessWatch.h"

#include <QWidget>

// The shared fixture with a menu: its buttons, supervision, activation and
// statistics on a bare form. Buttons are added to the settings record and
// shown with build().
class MenuWorld : public MenuRules
{
public:
    MenuWorld()
    {
        form.setObjectName(QStringLiteral("frmMenu"));
        form.resize(800, 600);
        buttons = new MenuButtons(&form, [this] { return editMode; });
        makeRules(*buttons, &form);
        QObject::connect(buttons, &MenuButtons::rebuilt, watch, &ProcessWatch::Redim);
        QObject::connect(buttons, &MenuButtons::buttonLoaded, watch, &ProcessWatch::Extend);
    }
    void build() { buttons->LoadButtons(-1); }

    QWidget form;
    MenuButtons *buttons = nullptr;
    bool editMode = false;
};
