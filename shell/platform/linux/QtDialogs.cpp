#include "LinuxServices.h"


#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace platform::linuxsvc {
namespace {

QString titleOrDefault(const QString &title)
{
    return title.isEmpty() ? QStringLiteral("Brindle") : title;
}

class QtDialogs : public Dialogs
{
public:
    int msgBox(const QString &text, int style, const QString &title) override
    {
        QMessageBox box;
        box.setWindowTitle(titleOrDefault(title));
        box.setText(text);
        switch (style & 0x70) {
        case Msg::Critical:
            box.setIcon(QMessageBox::Critical);
            break;
        case Msg::Question:
            box.setIcon(QMessageBox::Question);
            break;
        case Msg::Exclamation:
            box.setIcon(QMessageBox::Warning);
            break;
        case Msg::Information:
            box.setIcon(QMessageBox::Information);
            break;
        default:
            break;
        }
        struct Choice {
            QMessageBox::StandardButton button;
            int result;
        };
        QList<Choice> choices;
        switch (style & 7) {
        case Msg::OKCancel:
            choices = {{QMessageBox::Ok, Msg::OK}, {QMessageBox::Cancel, Msg::Cancel}};
            break;
        case Msg::AbortRetryIgnore:
            choices = {{QMessageBox::Abort, Msg::Abort}, {QMessageBox::Retry, Msg::Retry},
                       {QMessageBox::Ignore, Msg::Ignore}};
            break;
        case Msg::YesNoCancel:
            choices = {{QMessageBox::Yes, Msg::Yes}, {QMessageBox::No, Msg::No},
                       {QMessageBox::Cancel, Msg::Cancel}};
            break;
        case Msg::YesNo:
            choices = {{QMessageBox::Yes, Msg::Yes}, {QMessageBox::No, Msg::No}};
            break;
        case Msg::RetryCancel:
            choices = {{QMessageBox::Retry, Msg::Retry}, {QMessageBox::Cancel, Msg::Cancel}};
            break;
        default:
            choices = {{QMessageBox::Ok, Msg::OK}};
            break;
        }
        for (const Choice &c : choices)
            box.addButton(c.button);
        box.setDefaultButton(choices.first().button);
        box.setWindowModality(Qt::ApplicationModal);
        // Questions the parent must see are kept above the full-screen menu.
        box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
        box.exec();
        const auto clicked = box.standardButton(box.clickedButton());
        for (const Choice &c : choices)
            if (c.button == clicked)
                return c.result;
        return (style & 7) == Msg::OKOnly ? Msg::OK : (style & 7) == Msg::YesNo ? Msg::No : Msg::Cancel;
    }

    QString inputBox(const QString &prompt, const QString &title, const QString &defaultText,
                     QChar mask) override
    {
        QDialog dialog;
        dialog.setWindowTitle(titleOrDefault(title));
        dialog.setWindowFlag(Qt::WindowStaysOnTopHint, true);
        dialog.setWindowFlag(Qt::WindowContextHelpButtonHint, false);
        auto *layout = new QVBoxLayout(&dialog);
        auto *label = new QLabel(prompt, &dialog);
        label->setWordWrap(true);
        auto *edit = new QLineEdit(defaultText, &dialog);
        edit->setObjectName(QStringLiteral("InputText"));
        edit->setMinimumWidth(320);
        if (!mask.isNull()) {
            edit->setEchoMode(QLineEdit::Password);
            edit->setStyleSheet(QStringLiteral("lineedit-password-character: %1").arg(mask.unicode()));
        }
        auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
        QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
        QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
        layout->addWidget(label);
        layout->addWidget(edit);
        layout->addWidget(buttons);
        edit->setFocus();
        return dialog.exec() == QDialog::Accepted ? edit->text() : QString();
    }
};

} // namespace

std::unique_ptr<Dialogs> createDialogs()
{
    return std::make_unique<QtDialogs>();
}

} // namespace platform::linuxsvc
