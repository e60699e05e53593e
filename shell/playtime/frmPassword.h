#pragma once

#include <QDialog>
#include <QPixmap>
#include <QString>

#include <optional>

class Command;
class QLabel;
class QLineEdit;
class QTimer;

// Asks for a password: the typed text, or nothing when cancelled.
class frmPassword : public QDialog
{
    Q_OBJECT

public:
    explicit frmPassword(QWidget *parent = nullptr);
    ~frmPassword() override;

    // Shows a fresh dialog modally; an empty title keeps the dialog's own.
    static std::optional<QString> Ask(const QString &title);
    // The dialog now loaded, if any (the remote console closes it).
    static frmPassword *Current();

    // Cancel; the remote console closes the dialog this way too.
    void Command2_Click();

    // The dialog's picture: a padlock.
    static QPixmap LockPicture(int size);

public slots:
    // Escape and the window's close button count as Cancel.
    void reject() override;

private:
    void Command1_Click(); // OK
    void Unload();

    QLabel *Label1 = nullptr; // heading
    QLabel *Label2 = nullptr; // "Password:"
    QLabel *Picture1 = nullptr;
    QLineEdit *Text1 = nullptr;
    Command *Command1 = nullptr;
    Command *Command2 = nullptr;
    QTimer *Timer1 = nullptr;

    bool m_unloading = false;
    std::optional<QString> m_answer;
};
