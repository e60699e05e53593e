#pragma once

#include "links/LinksFile.h"

#include <QDialog>

class Command;
class QTreeWidget;

// "Brindle - Edit Wicket Links": the list of web links the child's browser
// offers. Works on its own copy; links.ini changes only with OK (or "Yes" to
// the question when the window is closed otherwise).
class frmEditChildLinks : public QDialog
{
    Q_OBJECT

public:
    explicit frmEditChildLinks(const QString &path = LinksFile::DefaultPath(), QWidget *parent = nullptr);

    // Shows a fresh dialog on links.ini modally; true when the file was written.
    static bool Edit(QWidget *parent);

    // The links as the list shows them.
    QList<ChildLink> Links() const;
    // True while the list holds edits not written to the file.
    bool Changed() const { return m_changed; }
    // True once the list was written to the file.
    bool Saved() const { return m_saved; }

public slots:
    // Esc presses "CANCEL".
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void addRow(const ChildLink &link);
    QStringList addresses() const;
    bool save();
    void Command1_Click(); // Add New...
    void Command2_Click(); // Edit...
    void Command3_Click(); // Remove...
    void Command5_Click(); // OK
    void Command4_Click(); // CANCEL

    QTreeWidget *ListView1 = nullptr;
    Command *Command1 = nullptr;
    Command *Command2 = nullptr;
    Command *Command3 = nullptr;
    Command *Command5 = nullptr;
    Command *Command4 = nullptr;

    QString m_path;
    bool m_changed = false;
    bool m_saved = false;
};
