#pragma once

#include "LaunchWorld.h"

#include <QWidget>

class MenuButtons;

// The shared fixture with a menu: its buttons, supervision, activation and
// statistics on a bare form. Buttons are added to the settings record and
// shown with build().
class MenuWorld : public MenuRules
{
public:
    MenuWorld();
    void build();

    QWidget form;
    MenuButtons *buttons = nullptr;
    bool editMode = false;
};
