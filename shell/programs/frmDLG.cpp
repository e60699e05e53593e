#include "frmDLG.h"

#include "FormParts.h"
#include "modGlobals.h"
#include "platform/Services.h"

#include <Command.h>

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

frmDLG::frmDLG(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmDLG"));
    setWindowTitle(QStringLiteral("Activate Application"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    lblQuestion = new QLabel(this);
    lblQuestion->setObjectName(QStringLiteral("lblQuestion"));
    lblQuestion->setWordWrap(true);
    lblQuestion->setMinimumWidth(360);
    cmdSwitchTo = FormParts::Button(this, "cmdSwitchTo", QStringLiteral("Switch To"), QSize(110, 32));
    cmdEnd = FormParts::Button(this, "cmdEnd", QStringLiteral("End"), QSize(110, 32));
    cmdCancel = FormParts::Button(this, "cmdCancel", QStringLiteral("Cancel"), QSize(110, 32));

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdSwitchTo);
    buttons->addWidget(cmdEnd);
    buttons->addWidget(cmdCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblQuestion);
    layout->addLayout(buttons);

    connect(cmdSwitchTo, &Command::Click, this, [this] { choose(ResultSwitchTo); });
    connect(cmdEnd, &Command::Click, this, [this] { choose(ResultEnd); });
    connect(cmdCancel, &Command::Click, this, [this] { choose(ResultCancel); });

    // Load.
    setWindowTitle(modGlobals::DlgCaption);
    lblQuestion->setText(modGlobals::DlgQuestion);
    platform::Services::windows().setTopMost(this, true);
}

void frmDLG::choose(int result)
{
    modGlobals::DlgResult = result;
    accept();
}

void frmDLG::ShowModal(QWidget *parent)
{
    frmDLG dialog(parent);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.exec();
}
