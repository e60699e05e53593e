#pragma once

#include "base/Prompts.h"

#include <QDialog>

class Command;
class QLabel;

// "Activate Application": asks what to do about a program that stopped
// answering: "Switch To", "End" or "Cancel"; closing the window is none of them.
class frmDLG : public QDialog
{
    Q_OBJECT

public:
    frmDLG(const QString &caption, const QString &question, QWidget *parent = nullptr);

    // Shows the dialog modally, kept above every other window.
    static Prompts::HangChoice Ask(QWidget *parent, const QString &caption, const QString &question);

private:
    void choose(Prompts::HangChoice choice);

    QLabel *lblQuestion = nullptr;
    Command *cmdSwitchTo = nullptr;
    Command *cmdEnd = nullptr;
    Command *cmdCancel = nullptr;

    Prompts::HangChoice m_choice = Prompts::HangChoice::Closed;
};
