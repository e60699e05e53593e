#pragma once

#include "base/Prompts.h"

#include <QDialog>
#include <QPixmap>

#include <optional>

class Command;
class QLabel;
class QLineEdit;
class QTimer;

// Shown at start-up while the play time stays used up, or the allowed hours
// are over (the bedtime line): the parent types the password to grant a new
// period or extra minutes, or the child chooses to shut down. The choice is
// the answer of Ask; the dialog applies nothing itself.
class frmTimeExpired : public QDialog
{
    Q_OBJECT

public:
    explicit frmTimeExpired(QWidget *parent = nullptr, bool atBedtime = false);
    ~frmTimeExpired() override;

    // Shows a fresh dialog modally. Nothing when it ended without an answer
    // (the shell is quitting underneath it).
    static std::optional<Prompts::ExpiredAnswer> Ask(bool atBedtime = false);
    // The line under the heading.
    static QString ReasonText(bool atBedtime);
    // The minutes the "Extra time..." choice offers.
    static constexpr int ExtraChoices[] = {5, 15, 30, 60};
    // The dialog now loaded, if any (the remote console answers it).
    static frmTimeExpired *Current();

    // The parent answered from afar: a new period, without a typed password.
    void ReleaseByParent();

    // The shut-down button's picture: a power symbol on a red disc.
    static QPixmap PowerPicture(int size);

public slots:
    // Escape and window-manager close requests do not dismiss it.
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void finish(const Prompts::ExpiredAnswer &answer);
    // "Reset...": hands the typed text back.
    void Command2_Click();
    // Shut down: hands back the child's choice.
    void Command1_Click();
    void Unload();

    QLabel *Label1 = nullptr; // heading
    QLabel *Label2 = nullptr; // explanation
    QLabel *Label3 = nullptr; // "Password:"
    QLineEdit *Text1 = nullptr;
    Command *Command1 = nullptr; // shut down
    Command *Command2 = nullptr; // "Reset..."
    QTimer *Timer1 = nullptr;
    void showExtraChoices();

    Command *m_extra = nullptr;   // "Extra time..."
    QWidget *m_choices = nullptr; // its minutes, shown once it is clicked

    bool m_unloading = false;
    std::optional<Prompts::ExpiredAnswer> m_answer;
};
