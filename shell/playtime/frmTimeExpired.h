#pragma once

#include "base/Prompts.h"

#include <QDialog>
#include <QPixmap>

#include <optional>

class Command;
class QLabel;
class QLineEdit;
class QTimer;

// Shown at start-up while the play time stays used up: the parent types the
// password to grant a new period, or the child chooses to shut down. The
// result goes to ExpiredPasswordText and ExpiredShutdownChosen.
class frmTimeExpired : public QDialog
{
    Q_OBJECT

public:
    explicit frmTimeExpired(QWidget *parent = nullptr);
    ~frmTimeExpired() override;

    // Shows a fresh dialog modally. Nothing when it ended without an answer
    // (the shell is quitting underneath it).
    static std::optional<Prompts::ExpiredAnswer> Ask();
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

    bool m_unloading = false;
    std::optional<Prompts::ExpiredAnswer> m_answer;
};
