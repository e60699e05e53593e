#include "LaunchWorld.h"

#include "menu/Launcher.h"
#include "programs/ProcessWatch.h"

#include <QSqlQuery>
#include <QUuid>

MenuRules::MenuRules()
    : stats(QStringLiteral("stats-") + QUuid::createUuid().toString(QUuid::Id128))
{
}

void MenuRules::makeRules(MenuControls &buttons, QObject *owner)
{
    watch = new ProcessWatch(buttons, &stats, prompts, owner);
    launcher = new Launcher(buttons, watch, &stats, prompts, owner);
    QObject::connect(watch, &ProcessWatch::screenModeRestoreNeeded, [this] { ++orgResCalls; });
    QObject::connect(launcher, &Launcher::screenModeRestoreNeeded, [this] { ++orgResCalls; });
}

BUTTON &MenuRules::addButton(const QString &caption, const QString &link)
{
    SettingsRecord &ss = modGlobals::SS;
    const qint32 index = ss.ButtonsMax + 1;
    if (!ss.Buttons.exists || ss.Buttons.items.size() <= index)
        ss.Buttons.items.resize(index + 1);
    ss.Buttons.exists = true;
    ss.ButtonsMax = index;
    BUTTON &b = ss.Buttons.at(index);
    b = BUTTON();
    b.Caption = caption;
    b.Link = link;
    b.InUse = 1;
    b.Enabled = VbTrue;
    b.OneInstance = VbTrue;
    b.Width = 120;
    b.Height = 60;
    b.Left = 10 + 130 * index;
    b.Top = 10;
    b.FontName = QStringLiteral("DejaVu Sans");
    b.FontSize = 10;
    b.ExtraCount = 5;
    b.ExtraStrings.redim(5);
    return b;
}

QString MenuRules::makeProgram(const QString &relative)
{
    const QString path = env.path(relative);
    writeFile(path, "#!/bin/sh\nexit 0\n", true);
    return path;
}

bool MenuRules::openStats()
{
    // The database the build made from the shipped schema.
    const QString file = env.path(QStringLiteral("data/stats.db"));
    return QFile::copy(TestEnv::builtProgramFolder() + QStringLiteral("data/stats.db"), file)
        && QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner) && stats.Open(file);
}

QStringList MenuRules::statsRows() const
{
    QStringList rows;
    QSqlQuery query(stats.Database());
    query.exec(QStringLiteral("SELECT Path, Executions, Seconds, Caption FROM TAB_STAT ORDER BY rowid"));
    while (query.next())
        rows << query.value(0).toString() + QLatin1Char('|') + query.value(1).toString() + QLatin1Char('|')
                    + QString::number(query.value(2).toDouble()) + QLatin1Char('|') + query.value(3).toString();
    return rows;
}

void LaunchWorld::build()
{
    buttons.buttons.clear();
    for (int i = 0; i <= modGlobals::SS.ButtonsMax; ++i)
        buttons.buttons.append({modGlobals::SS.Buttons.at(i).Caption, 0});
    watch->Redim(modGlobals::SS.ButtonsMax);
}
