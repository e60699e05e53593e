#pragma once

#include <QDialog>

class Command;
class QLabel;
class QListWidget;

// "Button Presets": the stored style presets with a preview of each, to be
// renamed or deleted. Works on the settings record's presets directly.
class frmPresets : public QDialog
{
    Q_OBJECT

public:
    explicit frmPresets(QWidget *parent = nullptr);

    static void ShowModal(QWidget *parent);

    void Command4_Click(); // Rename...
    void Command1_Click(); // Delete...

    QListWidget *List1 = nullptr;
    Command *Command2 = nullptr; // preview
    QLabel *picBig = nullptr;
    QLabel *picSmall = nullptr;
    Command *Command4 = nullptr;
    Command *Command1 = nullptr;
    Command *Command3 = nullptr; // Close

private:
    void fillList();
    void showPreset(int index);
    void fitCaption();
};
