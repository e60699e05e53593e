#pragma once

#include "Dialogs.h"

#include <QList>
#include <QQueue>
#include <QString>

#include <functional>

namespace platform {

// Answers message and input boxes from a prepared list and records what was
// shown. Used by tests in-process, and by a shell built with test seams when
// BRINDLE_TEST_DIALOGS names an answer file (one answer a line: "OK",
// "Cancel", "Yes", "No", ... for message boxes, the typed text for input
// boxes, the path for a file dialog, "#rrggbb" for the colour dialog, followed
// by further colours that replace the custom colours from the first on, and
// QFont::toString() text for the font dialog; an empty line cancels those three); what is shown is then appended to that file name + ".shown".
class ScriptedDialogs : public Dialogs
{
public:
    struct Shown {
        QString kind; // "msgbox", "inputbox", "openfile", "savefile", "color" or "font"
        QString text; // message or prompt
        QString title;
        int style = 0;
        QString defaultText;
        QChar mask;
    };

    ScriptedDialogs() = default;
    explicit ScriptedDialogs(const QString &answerFile);

    void answer(const QString &reply) { m_answers.enqueue(reply); }
    const QList<Shown> &shown() const { return m_shown; }
    bool exhausted() const { return m_exhausted; }
    int pending() const { return int(m_answers.size()); }

    // Runs whenever a box is shown, before it is answered.
    std::function<void(const Shown &)> onShow;

    int msgBox(const QString &text, int style, const QString &title) override;
    QString inputBox(const QString &prompt, const QString &title, const QString &defaultText,
                     QChar mask) override;
    QString openFile(const QString &title, const QString &folder, const QString &filter) override;
    QString saveFile(const QString &title, const QString &suggested, const QString &filter) override;
    std::optional<QColor> chooseColor(const QColor &initial, QList<QColor> &customColors) override;
    std::optional<QFont> chooseFont(const QFont &initial) override;

    static int resultFromWord(const QString &word, int style);

private:
    QString next();
    void record(const Shown &shown);

    QQueue<QString> m_answers;
    QList<Shown> m_shown;
    QString m_logFile;
    bool m_exhausted = false;
};

} // namespace platform
