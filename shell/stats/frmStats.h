#pragma once

#include <QDialog>
#include <QSqlDatabase>

class Prompts;
class QAction;
class QTreeView;
class StatsListModel;

// "Application Statistics": the rows of TAB_STAT as a list sorted by a
// column header (the sort is kept in the settings record), with "Print...",
// "Save as PDF..." and "Clear list..". A child opens it without a password;
// those three ask for the parent's, since printing and saving reach files.
class frmStats : public QDialog
{
    Q_OBJECT

public:
    frmStats(const QSqlDatabase &db, Prompts &prompts, QWidget *parent = nullptr);

    static void ShowModal(const QSqlDatabase &db, Prompts &prompts, QWidget *parent);

    // Refills the list from the table in the current sort.
    void FillStats();
    // A click on a column header: the same column again turns the order round.
    void ListView1_ColumnClick(int column);
    void mnuClear_Click();
    void mnuPrint_Click();
    void mnuSavePDF_Click();
    void mnuExit_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QTreeView *ListView1 = nullptr;
    StatsListModel *Model = nullptr;
    QAction *mnuPrint = nullptr;
    QAction *mnuSavePDF = nullptr;
    QAction *mnuClear = nullptr;
    QAction *mnuExit = nullptr;

    void showSortIcon();
    // Each column one fifth of the list's width.
    void fitColumns();

    QSqlDatabase m_db;
    Prompts &m_prompts;
};
