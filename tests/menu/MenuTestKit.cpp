#include "MenuTestKit.h"

#include "menu/MenuButtons.h"
#include "programs/ProcessWatch.h"

MenuWorld::MenuWorld()
{
    form.setObjectName(QStringLiteral("frmMenu"));
    form.resize(800, 600);
    buttons = new MenuButtons(&form, [this] { return editMode; });
    makeRules(*buttons, &form);
    QObject::connect(buttons, &MenuButtons::rebuilt, watch, &ProcessWatch::Redim);
    QObject::connect(buttons, &MenuButtons::buttonLoaded, watch, &ProcessWatch::Extend);
}

void MenuWorld::build()
{
    buttons->LoadButtons(-1);
}
