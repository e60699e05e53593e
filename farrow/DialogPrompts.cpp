#include "DialogPrompts.h"

#include <QInputDialog>

namespace {

const QString ProgramTitle = QStringLiteral("Farrow");

} // namespace

void DialogPrompts::Warning(QWidget *parent, const QString &text)
{
    QMessageBox::warning(parent, ProgramTitle, text);
}

bool DialogPrompts::Confirm(QWidget *parent, QMessageBox::Icon icon, const QString &title,
                            const QString &text)
{
    QMessageBox box(icon, title.isEmpty() ? ProgramTitle : title, text,
                    QMessageBox::Ok | QMessageBox::Cancel, parent);
    return box.exec() == QMessageBox::Ok;
}

QString DialogPrompts::AskPassword(QWidget *parent, const QString &prompt, const QString &title)
{
    bool ok = false;
    const QString text = QInputDialog::getText(parent, title, prompt, QLineEdit::Password, QString(), &ok);
    return ok ? text : QString();
}
