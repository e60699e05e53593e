#include "FormPrompts.h"

#include "links/frmEditChildLinks.h"
#include "settings/frmSettings.h"
#include "stats/StatsStore.h"
#include "stats/frmStats.h"

#include "menu/ShutdownDialog.h"
#include "menu/frmAbout.h"
#include "menu/frmButton.h"
#include "menu/frmPresets.h"
#include "playtime/frmPassword.h"
#include "playtime/frmTimeExpired.h"
#include "programs/frmDLG.h"
#include "programs/frmTasks.h"

#include <QApplication>

FormPrompts::FormPrompts(QWidget *menuForm, const StatsStore &stats)
    : m_menuForm(menuForm)
    , m_stats(stats)
{
}

std::optional<QString> FormPrompts::askPassword(const QString &title)
{
    return frmPassword::Ask(title);
}

Prompts::HangChoice FormPrompts::askNotResponding(const QString &caption, const QString &question)
{
    return frmDLG::Ask(m_menuForm, caption, question);
}

std::optional<Prompts::ExpiredAnswer> FormPrompts::askTimeExpired()
{
    return frmTimeExpired::Ask(m_atBedtime);
}

Prompts::ShutdownChoice FormPrompts::askShutdown()
{
    return ShutdownDialog::Ask(m_menuForm);
}

void FormPrompts::showTaskList()
{
    frmTasks::ShowModal(m_menuForm);
}

void FormPrompts::showStatistics()
{
    frmStats::ShowModal(m_stats.Database(), *this, m_menuForm);
}

std::optional<BUTTON> FormPrompts::editButton(const std::optional<BUTTON> &record)
{
    return frmButton::Edit(record, m_menuForm);
}

std::optional<Prompts::PresetList> FormPrompts::showPresets(const PresetList &presets)
{
    return frmPresets::Edit(presets, m_menuForm);
}

bool FormPrompts::showSettings(const std::function<void()> &applied)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QCoreApplication::processEvents();
    const bool stored = frmSettings::Edit(m_menuForm, applied);
    // A dialog that ended before it had loaded leaves no hourglass behind.
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    return stored;
}

bool FormPrompts::showLinksEditor()
{
    return frmEditChildLinks::Edit(m_menuForm);
}

void FormPrompts::showAbout()
{
    frmAbout::ShowModal(m_menuForm);
}
