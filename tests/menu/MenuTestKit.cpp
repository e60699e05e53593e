#include "MenuTestKit.h"

#include "menu/Launcher.h"
#include "menu/MenuButtons.h"
#include "programs/ProcessWatch.h"

#include <QUuid>

MenuWorld::MenuWorld(bool fakes)
    : ShellFixture(fakes)
    , stats(QStringLiteral("stats-") + QUuid::createUuid().toString(QUuid::Id128))
{
    form.setObjectName(QStringLiteral("frmMenu"));
    form.resize(800, 600);
    buttons = new MenuButtons(&form, [this] { return editMode; });
    watch = new ProcessWatch(*buttons, &stats, prompts, &form);
    launcher = new Launcher(*buttons, watch, &stats, prompts, &form);
    QObject::connect(watch, &ProcessWatch::screenModeRestoreNeeded, [this] { ++orgResCalls; });
    QObject::connect(launcher, &Launcher::screenModeRestoreNeeded, [this] { ++orgResCalls; });
    QObject::connect(buttons, &MenuButtons::rebuilt, watch, &ProcessWatch::Redim);
    QObject::connect(buttons, &MenuButtons::buttonLoaded, watch, &ProcessWatch::Extend);
}

MenuWorld::~MenuWorld()
{
    stats.Close();
}

void MenuWorld::build()
{
    buttons->LoadButtons(-1);
}
