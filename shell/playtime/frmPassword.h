#pragma once

#include <QDialog>
#include <QPixmap>
#include <QString>

class Command;
class QLabel;
class QLineEdit;
class QTimer;

// Asks for a password. The answer goes to PasswordDialogOK and
// PasswordDialogText; PasswordDialogTitle, when set, replaces the title once.
class frmPassword : public QDialog
{
    Q_OBJECT

public:
    explicit frmPassword(QWidget *parent = nullptr);
    ~frmPassword() override;

    // Shows a fresh dialog modally and drops it afterwards. A menu button's
    // own password is asked this way too, with PasswordDialogTitle set first.
    static void ShowModal();
    // The dialog now loaded, if any (the remote console closes it).
    static frmPassword *Current();

    // True when no parent password is set or the text matches it, ignoring
    // case. With an empty text and dialogs allowed it asks until the right
    // password is typed or the dialog is cancelled.
    static bool PasswordOK(const QString &text, bool noDialog);

    void Command1_Click(); // OK
    void Command2_Click(); // Cancel
    void Unload();

    // The dialog's picture: a padlock.
    static QPixmap LockPicture(int size);

    QLabel *Label1 = nullptr; // heading
    QLabel *Label2 = nullptr; // "Password:"
    QLabel *Picture1 = nullptr;
    QLineEdit *Text1 = nullptr;
    Command *Command1 = nullptr;
    Command *Command2 = nullptr;
    QTimer *Timer1 = nullptr;

public slots:
    // Escape and the window's close button count as Cancel.
    void reject() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool m_unloading = false;
};
