#pragma once

#include <QDialog>

class QPlainTextEdit;

// "Variables in Brindle": the help text vars.txt of the program folder, which
// lists what a button caption may contain. Stays above the menu.
class frmVarInfo : public QDialog
{
    Q_OBJECT

public:
    explicit frmVarInfo(QWidget *parent = nullptr);

    static void ShowModal(QWidget *parent);

private:
    QPlainTextEdit *Text1 = nullptr;
};
