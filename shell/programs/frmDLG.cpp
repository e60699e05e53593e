#include "frmDLG.h"

#include "widgets/FormParts.h"
#include "platform/Services.h"

#include <Command.h>

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

frmDLG::frmDLG(const QString &caption, const QString &question, QWidget *parent)
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

    connect(cmdSwitchTo, &Command::Click, this, [this] { choose(Prompts::HangChoice::SwitchTo); });
    connect(cmdEnd, &Command::Click, this, [this] { choose(Prompts::HangChoice::End); });
    connect(cmdCancel, &Command::Click, this, [this] { choose(Prompts::HangChoice::Cancel); });

    setWindowTitle(caption);
    lblQuestion->setText(question);
    platform::Services::windows().setTopMost(this, true);
}

void frmDLG::choose(Prompts::HangChoice choice)
{
    m_choice = choice;
    accept();
}

Prompts::HangChoice frmDLG::Ask(QWidget *parent, const QString &caption, const QString &question)
{
    frmDLG dialog(caption, question, parent);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.exec();
    return dialog.m_choice;
}
