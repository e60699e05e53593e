#pragma once

#include <QDialog>

class Command;
class QLabel;

// "About Brindle": the suite's name and version and the libraries it is built
// on, each with its licence.
class frmAbout : public QDialog
{
    Q_OBJECT

public:
    explicit frmAbout(QWidget *parent = nullptr);

    static void ShowModal(QWidget *parent);

private:
    QLabel *lblText = nullptr;
    Command *cmdOK = nullptr;
};
