#pragma once

#include "base/Prompts.h"

class QWidget;

// The shell's questions answered by its forms, on top of the menu form.
class FormPrompts : public Prompts
{
public:
    explicit FormPrompts(QWidget *menuForm);

    std::optional<QString> askPassword(const QString &title) override;
    HangChoice askNotResponding(const QString &caption, const QString &question) override;
    std::optional<ExpiredAnswer> askTimeExpired() override;
    ShutdownChoice askShutdown() override;
    void showTaskList() override;
    void showStatistics() override;
    std::optional<BUTTON> editButton(const std::optional<BUTTON> &record) override;
    void showPresets() override;
    void showSettings() override;
    void showLinksEditor() override;
    void showAbout() override;

private:
    QWidget *m_menuForm;
};
