#pragma once

#include "base/Prompts.h"

class QWidget;
class StatsStore;

// The shell's questions answered by its forms, on top of the menu form. The
// statistics viewer reads the menu's open statistics connection.
class FormPrompts : public Prompts
{
public:
    FormPrompts(QWidget *menuForm, const StatsStore &stats);

    std::optional<QString> askPassword(const QString &title) override;
    HangChoice askNotResponding(const QString &caption, const QString &question) override;
    std::optional<ExpiredAnswer> askTimeExpired() override;
    ShutdownChoice askShutdown() override;
    void showTaskList() override;
    void showStatistics() override;
    std::optional<BUTTON> editButton(const std::optional<BUTTON> &record) override;
    std::optional<PresetList> showPresets(const PresetList &presets) override;
    bool showSettings(const std::function<void()> &applied) override;
    bool showLinksEditor() override;
    void showAbout() override;

    // Why the next time-expired dialog shows: the allowed hours are over.
    void setBedtime(bool atBedtime) { m_atBedtime = atBedtime; }

private:
    QWidget *m_menuForm;
    const StatsStore &m_stats;
    bool m_atBedtime = false;
};
