#include "LinuxServices.h"


#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace platform::linuxsvc {
namespace {

QString titleOrDefault(const QString &title)
{
    return title.isEmpty() ? QStringLiteral("Brindle") : title;
}

// "Name|*.a;*.b|Name|*" as Qt writes it: "Name (*.a *.b);;Name (*)".
QStringList nameFilters(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        // "*.*" means every file, also those without a dot in their name.
        patterns.replaceInStrings(QStringLiteral("*.*"), QStringLiteral("*"));
        filters << parts.at(i) + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return filters;
}

// The dialogs of the shell stay above its full-screen menu.
void keepOnTop(QDialog &dialog)
{
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint, true);
}

// Qt's own dialog (a desktop's dialog could be a whole file manager), made
// read-only: its menu offers no delete, rename or new folder, and files
// cannot be dragged into folders.
QString chosenFile(QFileDialog &dialog, const QString &filter)
{
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setOption(QFileDialog::ReadOnly, true);
    if (auto *newFolder = dialog.findChild<QWidget *>(QStringLiteral("newFolderButton")))
        newFolder->hide();
    dialog.setNameFilters(nameFilters(filter));
    keepOnTop(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
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

    QString openFile(const QString &title, const QString &folder, const QString &filter) override
    {
        QFileDialog dialog(nullptr, title, folder);
        dialog.setFileMode(QFileDialog::ExistingFile);
        return chosenFile(dialog, filter);
    }

    QString saveFile(const QString &title, const QString &suggested, const QString &filter) override
    {
        QFileDialog dialog(nullptr, title, suggested);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        return chosenFile(dialog, filter);
    }

    std::optional<QColor> chooseColor(const QColor &initial, QList<QColor> &customColors) override
    {
        const int count = std::min(int(customColors.size()), QColorDialog::customCount());
        for (int i = 0; i < count; ++i)
            QColorDialog::setCustomColor(i, customColors.at(i));
        QColorDialog dialog(initial);
        dialog.setOption(QColorDialog::DontUseNativeDialog, true);
        keepOnTop(dialog);
        const bool chosen = dialog.exec() == QDialog::Accepted;
        for (int i = 0; i < count; ++i)
            customColors[i] = QColorDialog::customColor(i);
        if (!chosen)
            return std::nullopt;
        return dialog.selectedColor();
    }

    std::optional<QFont> chooseFont(const QFont &initial) override
    {
        QFontDialog dialog(initial);
        dialog.setOption(QFontDialog::DontUseNativeDialog, true);
        keepOnTop(dialog);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog.selectedFont();
    }
};

} // namespace

std::unique_ptr<Dialogs> createDialogs()
{
    return std::make_unique<QtDialogs>();
}

} // namespace platform::linuxsvc
