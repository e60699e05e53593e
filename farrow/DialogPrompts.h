#pragma once

#include "ConsolePrompts.h"

// ConsolePrompts as message boxes and an input box whose field shows "*".
class DialogPrompts : public ConsolePrompts
{
public:
    void Warning(QWidget *parent, const QString &text) override;
    bool Confirm(QWidget *parent, QMessageBox::Icon icon, const QString &title,
                 const QString &text) override;
    QString AskPassword(QWidget *parent, const QString &prompt, const QString &title) override;
};
