#include "FormPrompts.h"

#include "menu/ShutdownDialog.h"
#include "menu/frmAbout.h"
#include "menu/frmButton.h"
#include "menu/frmPresets.h"
#include "playtime/frmPassword.h"
#include "playtime/frmTimeExpired.h"
#include "programs/frmDLG.h"
#include "programs/frmTasks.h"

FormPrompts::FormPrompts(QWidget *menuForm)
    : m_menuForm(menuForm)
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
    return frmTimeExpired::Ask();
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
}

std::optional<BUTTON> FormPrompts::editButton(const std::optional<BUTTON> &record)
{
    return frmButton::Edit(record, m_menuForm);
}

void FormPrompts::showPresets()
{
    frmPresets::ShowModal(m_menuForm);
}

void FormPrompts::showSettings()
{
    // The settings dialog comes with its own change.
}

void FormPrompts::showLinksEditor()
{
    // The links editor comes with its own change.
}

void FormPrompts::showAbout()
{
    frmAbout::ShowModal(m_menuForm);
}
