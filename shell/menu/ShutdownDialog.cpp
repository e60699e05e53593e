#include "ShutdownDialog.h"

#include "widgets/FormParts.h"
#include "platform/Services.h"

#include <Command.h>

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

ShutdownDialog::ShutdownDialog(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmShutdown"));
    setWindowTitle(QStringLiteral("Shut Down"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto *label = new QLabel(QStringLiteral("What do you want the computer to do?"), this);
    label->setObjectName(QStringLiteral("lblQuestion"));
    auto *row = new QHBoxLayout;
    using Choice = Prompts::ShutdownChoice;
    auto add = [this, row](const char *name, const QString &caption, Choice choice) {
        Command *button = FormParts::Button(this, name, caption, QSize(100, 32));
        connect(button, &Command::Click, this, [this, choice] {
            m_choice = choice;
            choice == Choice::Cancel ? reject() : accept();
        });
        row->addWidget(button);
        return button;
    };
    cmdShutDown = add("cmdShutDown", QStringLiteral("Shut down"), Choice::PowerOff);
    cmdRestart = add("cmdRestart", QStringLiteral("Restart"), Choice::Restart);
    cmdLogOff = add("cmdLogOff", QStringLiteral("Log off"), Choice::LogOff);
    cmdCancel = add("cmdCancel", QStringLiteral("Cancel"), Choice::Cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addLayout(row);
}

Prompts::ShutdownChoice ShutdownDialog::Ask(QWidget *parent)
{
    ShutdownDialog dialog(parent);
    dialog.setWindowModality(Qt::ApplicationModal);
    platform::Services::windows().setTopMost(&dialog, true);
    dialog.exec();
    return dialog.m_choice;
}
