#pragma once

#include <QDialog>

class Command;
class QListWidget;
class QTimer;

// Fills a list with the open application windows, top-most first: visible,
// titled windows without an owner that are no tool windows, and owned ones
// marked as application windows. Each item holds its window id in
// Qt::UserRole.
void FillTaskList(QListWidget *list);

// "Applications": the open application windows, to switch to or close one.
class frmTasks : public QDialog
{
    Q_OBJECT

public:
    // menuForm gets the focus back after "Switch To".
    explicit frmTasks(QWidget *menuForm, QWidget *parent = nullptr);
    ~frmTasks() override;

    // Shows the window modally.
    static void ShowModal(QWidget *menuForm);

private:
    void Command1_Click();
    void Command2_Click();
    void ReloadTimer_Timer();
    void restorePointer();
    void selectAfterEnd();

    QListWidget *List1 = nullptr;
    Command *Command1 = nullptr; // Switch To
    Command *Command2 = nullptr; // End
    Command *Command3 = nullptr; // Close
    Command *Command4 = nullptr; // Refresh
    QTimer *ReloadTimer = nullptr;

    QWidget *m_menuForm;
    bool m_waitPointer = false;
    // What "End" was given: its row, and the window listed below it.
    int m_endedRow = -1;
    quint64 m_windowBelow = 0;
};
