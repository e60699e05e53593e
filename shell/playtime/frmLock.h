#pragma once

#include <QWidget>

class Command;
class QLabel;
class QLineEdit;
class QTimer;

// The lock screen "Time for a break": covers every screen above every window
// and holds the keyboard while the parent keeps play paused. Programs run on
// underneath. Only the parent's password (typed here) or the end of the lock
// from afar removes it: the form hands the typed text on and is told whether
// it was wrong.
class frmLock : public QWidget
{
    Q_OBJECT

public:
    explicit frmLock(QWidget *parent = nullptr);
    ~frmLock() override;

    // Covers the screens and takes the keyboard.
    void Cover();
    // The typed text was not the password: the box empties and says so.
    void WrongPassword();

    static constexpr int HoldEveryMs = 500;

signals:
    void passwordEntered(const QString &password);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void hold();
    void submit();

    QLabel *m_heading = nullptr;
    QLabel *m_text = nullptr;
    QLineEdit *m_password = nullptr;
    Command *m_unlock = nullptr;
    QLabel *m_wrong = nullptr;
    QTimer *m_holdTimer = nullptr; // runs only while the form is shown
};
