#pragma once

#include <QColor>
#include <QFont>
#include <QList>
#include <QString>

#include <optional>


namespace platform {

// Message box styles and results, with the values the stored data and the
// callers were written for.
namespace Msg {
enum Style {
    OKOnly = 0,
    OKCancel = 1,
    AbortRetryIgnore = 2,
    YesNoCancel = 3,
    YesNo = 4,
    RetryCancel = 5,
    Critical = 16,
    Question = 32,
    Exclamation = 48,
    Information = 64,
    SystemModal = 4096,
};
enum Result { OK = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };
} // namespace Msg

// Every message and input box of the shell goes through here, so that tests
// can answer them and read what was shown. Message boxes without a title of
// their own carry "Brindle"; system-modal ones stay on top.
class Dialogs
{
public:
    virtual ~Dialogs() = default;
    virtual int msgBox(const QString &text, int style = Msg::OKOnly, const QString &title = QString()) = 0;
    // Returns the typed text; Cancel gives an empty text. With a mask character
    // every typed character shows as that character.
    virtual QString inputBox(const QString &prompt, const QString &title = QString(),
                             const QString &defaultText = QString(), QChar mask = QChar()) = 0;
    // The open-file dialog. The filter lists pairs "Name|*.a;*.b|Name|*"; the
    // result is the chosen path, empty when cancelled. File dialogs browse
    // only: they delete, rename and create nothing.
    virtual QString openFile(const QString &title, const QString &folder, const QString &filter) = 0;
    // The save-file dialog, starting at a suggested path.
    virtual QString saveFile(const QString &title, const QString &suggested, const QString &filter) = 0;
    // The colour dialog with the program's custom colours (16), which it may
    // change. No value when cancelled.
    virtual std::optional<QColor> chooseColor(const QColor &initial, QList<QColor> &customColors) = 0;
    // The font dialog. No value when cancelled.
    virtual std::optional<QFont> chooseFont(const QFont &initial) = 0;
};

} // namespace platform
