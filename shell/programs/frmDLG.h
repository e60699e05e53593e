#pragma once

#include <QDialog>

class Command;
class QLabel;

// "Activate Application": asks what to do about a program that stopped
// answering. Its caption and question come from modGlobals::DlgCaption and
// DlgQuestion; the choice goes to modGlobals::DlgResult (2 "Switch To",
// 3 "End", 0 "Cancel"; closing the window leaves it as it was).
class frmDLG : public QDialog
{
    Q_OBJECT

public:
    enum Result { ResultClosed = -1, ResultCancel = 0, ResultSwitchTo = 2, ResultEnd = 3 };

    explicit frmDLG(QWidget *parent = nullptr);

    // Shows the dialog modally, kept above every other window.
    static void ShowModal(QWidget *parent);

    QLabel *lblQuestion = nullptr;
    Command *cmdSwitchTo = nullptr;
    Command *cmdEnd = nullptr;
    Command *cmdCancel = nullptr;

private:
    void choose(int result);
};
