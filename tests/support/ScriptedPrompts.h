#pragma once

#include "base/Prompts.h"

#include <QStringList>

#include <functional>

// Answers the shell's questions from a script, one step per question, and
// records what was asked. A password is typed as "TEXT"; the time-expired
// dialog also takes "enter:TEXT", "reset:TEXT", "extraN:TEXT" (N extra
// minutes), "shutdown" (the child's choice) and "released" (the parent's
// release from afar); "cancel", "escape" or "quit" ends a question without an
// answer. The not-responding dialog takes "switch", "end", "cancel" or
// "closed"; the shut-down dialog "poweroff", "restart", "logoff" or anything
// else to cancel; the button dialog "ok" (the record, or an empty one, changed
// by `editing`) or "cancel"; the settings dialog any number of "apply", then
// "ok" or "cancel", each storing through `storing`; the preset manager (handing
// back the list changed by `editingPresets`) and the links editor "ok" or
// "cancel". A question past the end of the script gets the answer that ends it
// and counts as unexpected.
class ScriptedPrompts : public Prompts
{
public:
    void script(const QStringList &steps) { m_steps += steps; }

    // "password:TITLE", "hang:CAPTION|QUESTION", "expired", "shutdown", "tasks", "stats",
    // "button:CAPTION" ("button:" for a new one), "presets", "settings", "links", "about".
    QStringList asked;
    std::function<void(BUTTON &)> editing;
    std::function<void(PresetList &)> editingPresets;
    std::function<void()> storing;
    int unexpected = 0;
    // Runs while each question is up, as the events a modal dialog lets through.
    std::function<void()> whileAsking;

    std::optional<QString> askPassword(const QString &title) override
    {
        asked << QStringLiteral("password:") + title;
        const QString step = next(QStringLiteral("cancel"));
        if (isEnd(step))
            return std::nullopt;
        return typed(step);
    }

    HangChoice askNotResponding(const QString &caption, const QString &question) override
    {
        asked << QStringLiteral("hang:") + caption + QLatin1Char('|') + question;
        const QString step = next(QStringLiteral("closed"));
        if (step == QLatin1String("switch"))
            return HangChoice::SwitchTo;
        if (step == QLatin1String("end"))
            return HangChoice::End;
        if (step == QLatin1String("cancel"))
            return HangChoice::Cancel;
        return HangChoice::Closed;
    }

    std::optional<ExpiredAnswer> askTimeExpired() override
    {
        asked << QStringLiteral("expired");
        const QString step = next(QStringLiteral("quit"));
        if (step == QLatin1String("shutdown"))
            return ExpiredAnswer{true, QString()};
        if (step == QLatin1String("released"))
            return ExpiredAnswer{false, QString(), true};
        if (step.startsWith(QLatin1String("extra"))) // "extra15:PW": the "Extra time..." choice
            return ExpiredAnswer{false, step.section(QLatin1Char(':'), 1), false, step.section(QLatin1Char(':'), 0, 0).mid(5).toInt()};
        if (isEnd(step))
            return std::nullopt;
        return ExpiredAnswer{false, typed(step)};
    }

    ShutdownChoice askShutdown() override
    {
        asked << QStringLiteral("shutdown");
        const QString step = next(QStringLiteral("cancel"));
        if (step == QLatin1String("poweroff"))
            return ShutdownChoice::PowerOff;
        if (step == QLatin1String("restart"))
            return ShutdownChoice::Restart;
        if (step == QLatin1String("logoff"))
            return ShutdownChoice::LogOff;
        return ShutdownChoice::Cancel;
    }

    void showTaskList() override { asked << QStringLiteral("tasks"); }
    void showStatistics() override { asked << QStringLiteral("stats"); }

    std::optional<BUTTON> editButton(const std::optional<BUTTON> &record) override
    {
        asked << QStringLiteral("button:") + (record ? record->Caption : QString());
        if (next(QStringLiteral("cancel")) != QLatin1String("ok"))
            return std::nullopt;
        BUTTON result = record ? *record : BUTTON();
        if (editing)
            editing(result);
        return result;
    }
    std::optional<PresetList> showPresets(const PresetList &presets) override
    {
        asked << QStringLiteral("presets");
        if (next(QStringLiteral("cancel")) != QLatin1String("ok"))
            return std::nullopt;
        PresetList result = presets;
        if (editingPresets)
            editingPresets(result);
        return result;
    }
    bool showSettings(const std::function<void()> &applied) override
    {
        asked << QStringLiteral("settings");
        for (QString step = next(QStringLiteral("cancel")); step == QLatin1String("apply") || step == QLatin1String("ok");
             step = next(QStringLiteral("cancel"))) {
            if (storing)
                storing();
            if (step == QLatin1String("ok"))
                return true;
            applied();
        }
        return false;
    }
    bool showLinksEditor() override
    {
        asked << QStringLiteral("links");
        return next(QStringLiteral("cancel")) == QLatin1String("ok");
    }
    void showAbout() override { asked << QStringLiteral("about"); }

private:
    QString next(const QString &ending)
    {
        if (whileAsking)
            whileAsking();
        if (m_steps.isEmpty()) {
            ++unexpected;
            return ending;
        }
        return m_steps.takeFirst();
    }
    static bool isEnd(const QString &step)
    {
        return step == QLatin1String("cancel") || step == QLatin1String("escape") || step == QLatin1String("quit");
    }
    static QString typed(const QString &step)
    {
        for (const char *verb : {"enter:", "reset:"})
            if (step.startsWith(QLatin1String(verb)))
                return step.mid(int(qstrlen(verb)));
        return step;
    }

    QStringList m_steps;
};
