#include "ShutdownDialog.h"

#include "FormParts.h"
#include "ShutDown.h"
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
    auto add = [this, row](const char *name, const QString &caption, Choice choice) {
        Command *button = FormParts::Button(this, name, caption, QSize(100, 32));
        connect(button, &Command::Click, this, [this, choice] {
            m_choice = choice;
            choice == Cancel ? reject() : accept();
        });
        row->addWidget(button);
        return button;
    };
    cmdShutDown = add("cmdShutDown", QStringLiteral("Shut down"), PowerOff);
    cmdRestart = add("cmdRestart", QStringLiteral("Restart"), Restart);
    cmdLogOff = add("cmdLogOff", QStringLiteral("Log off"), LogOff);
    cmdCancel = add("cmdCancel", QStringLiteral("Cancel"), Cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addLayout(row);
}

void ShutdownDialog::Run(QWidget *parent)
{
    ShutdownDialog dialog(parent);
    dialog.setWindowModality(Qt::ApplicationModal);
    platform::Services::windows().setTopMost(&dialog, true);
    dialog.exec();
    switch (dialog.choice()) {
    case PowerOff:
        ShutDown::ExitWindowsWith(ShutDown::EWX_SHUTDOWN);
        break;
    case Restart:
        ShutDown::ExitWindowsWith(ShutDown::EWX_REBOOT);
        break;
    case LogOff:
        ShutDown::ExitWindowsWith(ShutDown::EWX_LOGOFF);
        break;
    case Cancel:
        break;
    }
}
