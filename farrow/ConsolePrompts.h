#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

// The console's questions and messages, kept behind one interface so that a
// test can answer them.
class ConsolePrompts
{
public:
    virtual ~ConsolePrompts() = default;

    // A message with a warning icon and an OK button.
    virtual void Warning(QWidget *parent, const QString &text) = 0;
    // OK and Cancel; true for OK. An empty title gives the program's own.
    virtual bool Confirm(QWidget *parent, QMessageBox::Icon icon, const QString &title,
                         const QString &text) = 0;
    // The password input box; empty when cancelled.
    virtual QString AskPassword(QWidget *parent, const QString &prompt, const QString &title) = 0;
};
