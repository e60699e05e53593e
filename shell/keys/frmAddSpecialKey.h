#pragma once

#include <QDialog>

class Command;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QTimer;

// "Special Keyboard Commands": the parent fills the special-key table by
// pressing the keys, clears it, or renames an entry by double-clicking it.
// Changes reach the key grabs at once; spc_keys.dat is written with the next
// save of the data files.
class frmAddSpecialKey : public QDialog
{
    Q_OBJECT

public:
    explicit frmAddSpecialKey(QWidget *parent = nullptr);
    ~frmAddSpecialKey() override;

    // Fills List1 from the table.
    void RefreshList();

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Timer1_Timer();
    void List1_DblClick(QListWidgetItem *item);
    void endCapture();

    QLabel *Label1 = nullptr;
    QListWidget *List1 = nullptr;
    Command *Command1 = nullptr; // "Add key(s)"
    Command *Command2 = nullptr; // "Clear list"
    Command *Command3 = nullptr; // "Close"
    QTimer *Timer1 = nullptr;

    bool m_capturing = false; // a keyboard capture of ours runs
};
