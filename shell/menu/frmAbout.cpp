#include "frmAbout.h"

#include "widgets/FormParts.h"
#include "platform/Services.h"

#include <Command.h>

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#ifndef BRINDLE_VERSION
#define BRINDLE_VERSION "unknown"
#endif

frmAbout::frmAbout(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Brindle"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    lblText = new QLabel(this);
    lblText->setObjectName(QStringLiteral("lblText"));
    lblText->setTextFormat(Qt::RichText);
    lblText->setText(
        QStringLiteral("<h2>Brindle %1</h2>"
                       "<p>A child-safe desktop shell, with the remote console Farrow, the button control "
                       "Pellet, the child browser Wicket, the system information library Orrery and beeper.</p>"
                       "<p><b>Built on</b></p>"
                       "<table cellspacing=4>"
                       "<tr><td>Qt %2</td><td>GNU LGPL version 3</td></tr>"
                       "<tr><td>Qt WebEngine and Chromium (Wicket)</td><td>GNU LGPL version 3, BSD-style</td></tr>"
                       "<tr><td>SQLite (statistics)</td><td>public domain</td></tr>"
                       "<tr><td>Xlib, XTest, XInput, XRandR, X-Resource</td><td>MIT/X11 licence</td></tr>"
                       "</table>")
            .arg(QStringLiteral(BRINDLE_VERSION), QString::fromLatin1(qVersion())));
    lblText->setWordWrap(true);
    lblText->setMinimumWidth(540);

    cmdOK = FormParts::Button(this, "cmdOK", QStringLiteral("OK"), QSize(90, 28));
    cmdOK->setButtonType(Command::BType::OkButton);
    connect(cmdOK, &Command::Click, this, &QDialog::accept);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblText);
    layout->addLayout(buttons);
}

void frmAbout::ShowModal(QWidget *parent)
{
    frmAbout form(parent);
    form.setWindowModality(Qt::ApplicationModal);
    platform::Services::windows().setTopMost(&form, true);
    form.exec();
}
