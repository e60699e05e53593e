#pragma once

#include "data/SettingsRecord.h"

#include <QString>

#include <functional>
#include <optional>

// The questions the shell's logic asks the people in front of it. The forms
// answer them on screen; tests answer them from a script. Each answer is the
// return value, so nothing about a dialog outlives its call.
class Prompts
{
public:
    // The not-responding dialog's choices.
    enum class HangChoice { Closed, Cancel, SwitchTo, End };
    // What the shut-down dialog asks the machine to do.
    enum class ShutdownChoice { Cancel, PowerOff, Restart, LogOff };

    // The time-expired dialog's answer: the child chose to shut down, a
    // password was typed, or the parent released it from afar (the remote
    // console has proved the password already). With the password, extra
    // minutes (the "Extra time..." choice) add to the period instead of
    // starting a new one.
    struct ExpiredAnswer {
        bool shutDown = false;
        QString password;
        bool released = false;
        int extraMinutes = 0;
    };

    // The style presets of the settings record: the list and its last index
    // in use (an emptied list keeps one blank record and no index).
    struct PresetList {
        VbList<BUTTON> list;
        qint32 max = -1;

        static PresetList Of(const SettingsRecord &settings) { return {settings.Presets, settings.PresetsMax}; }
        void StoreIn(SettingsRecord &settings) const
        {
            settings.Presets = list;
            settings.PresetsMax = max;
        }
        bool operator==(const PresetList &) const = default;
    };

    virtual ~Prompts() = default;

    // The password dialog; an empty title keeps the dialog's own. No value
    // when it was cancelled or closed.
    virtual std::optional<QString> askPassword(const QString &title = QString()) = 0;
    virtual HangChoice askNotResponding(const QString &caption, const QString &question) = 0;
    // No value when it ended without an answer (the shell is quitting).
    virtual std::optional<ExpiredAnswer> askTimeExpired() = 0;
    virtual ShutdownChoice askShutdown() = 0;

    // Windows the button keywords open; they act on their own.
    virtual void showTaskList() = 0;
    virtual void showStatistics() = 0;

    // The button properties dialog for a record, or for a new button when
    // there is none. The edited record, or no value when the parent cancelled.
    virtual std::optional<BUTTON> editButton(const std::optional<BUTTON> &record) = 0;
    // The preset manager, on a copy of the presets: the list as the parent
    // left it, or no value when nothing was renamed or deleted.
    virtual std::optional<PresetList> showPresets(const PresetList &presets) = 0;
    // The settings dialog, which stores what OK and Apply take (the record,
    // the play-time store, the browser's and the autostart files). `applied`
    // runs after each Apply, while the dialog stays open; true when OK
    // stored them.
    virtual bool showSettings(const std::function<void()> &applied) = 0;
    // The approved links of the child's browser; true when links.ini was written.
    virtual bool showLinksEditor() = 0;
    virtual void showAbout() = 0;
};

// True when no parent password is set or the text matches it, ignoring case.
// With an empty text and dialogs allowed it asks until the right password is
// typed or the dialog is cancelled.
bool PasswordOK(Prompts &prompts, const QString &text, bool noDialog);
