#pragma once

#include "base/Prompts.h"

#include <QDialog>

class Command;

// The shell's own "Shut down" question: Shut down, Restart, Log off or Cancel.
class ShutdownDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ShutdownDialog(QWidget *parent = nullptr);

    // Asks modally.
    static Prompts::ShutdownChoice Ask(QWidget *parent);

private:
    Command *cmdShutDown = nullptr;
    Command *cmdRestart = nullptr;
    Command *cmdLogOff = nullptr;
    Command *cmdCancel = nullptr;
    Prompts::ShutdownChoice m_choice = Prompts::ShutdownChoice::Cancel;
};
