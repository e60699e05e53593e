#pragma once

#include "links/LinksFile.h"

#include <QDialog>
#include <QStringList>

#include <optional>

class Command;
class QLineEdit;

// "Edit URL": the name and address of one approved link. The address field
// completes from the addresses already in the list and from the browser's
// history. OK hands the link back, with "http://" in front of an address
// without a scheme; Cancel, Esc and the close box hand back nothing.
class frmEditURL : public QDialog
{
    Q_OBJECT

public:
    frmEditURL(const ChildLink &link, const QStringList &knownAddresses, QWidget *parent = nullptr);

    static std::optional<ChildLink> Edit(const ChildLink &link, const QStringList &knownAddresses, QWidget *parent);
    const std::optional<ChildLink> &Result() const { return m_result; }

private:
    void Command2_Click(); // OK
    void Command1_Click(); // Cancel

    QLineEdit *Text1 = nullptr; // name
    QLineEdit *Text2 = nullptr; // URL
    Command *Command2 = nullptr;
    Command *Command1 = nullptr;

    std::optional<ChildLink> m_result;
};
