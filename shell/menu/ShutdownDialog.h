#pragma once

#include <QDialog>

class Command;

// The shell's own "Shut down" question: Shut down, Restart, Log off or Cancel.
class ShutdownDialog : public QDialog
{
    Q_OBJECT

public:
    enum Choice { Cancel = 0, PowerOff = 1, Restart = 2, LogOff = 3 };

    explicit ShutdownDialog(QWidget *parent = nullptr);
    Choice choice() const { return m_choice; }

    // Asks modally and carries out the choice.
    static void Run(QWidget *parent);

    Command *cmdShutDown = nullptr;
    Command *cmdRestart = nullptr;
    Command *cmdLogOff = nullptr;
    Command *cmdCancel = nullptr;

private:
    Choice m_choice = Cancel;
};
