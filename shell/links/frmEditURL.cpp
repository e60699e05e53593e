#include "links/frmEditURL.h"

#include "widgets/FormParts.h"
#include "platform/Services.h"

#include <BrowserHistory.h>
#include <Command.h>

#include <QCompleter>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStringListModel>
#include <QVBoxLayout>

frmEditURL::frmEditURL(const ChildLink &link, const QStringList &knownAddresses, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmEditURL"));
    setWindowTitle(QStringLiteral("Edit URL"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    if (parent)
        setWindowIcon(parent->windowIcon());

    Text1 = new QLineEdit(link.name, this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text2 = new QLineEdit(link.url, this);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->setMinimumWidth(360);

    QStringList addresses = knownAddresses;
    addresses += BrowserHistory().addresses();
    addresses.removeDuplicates();
    auto *completer = new QCompleter(new QStringListModel(addresses, this), this);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    // "wiki" finds "https://en.wikipedia.org/": children's sites are known by
    // their names more than by their schemes.
    completer->setFilterMode(Qt::MatchContains);
    Text2->setCompleter(completer);

    Command2 = FormParts::Button(this, "Command2", QStringLiteral("OK"), QSize(90, 28));
    Command2->setButtonType(Command::BType::OkButton);
    Command1 = FormParts::Button(this, "Command1", QStringLiteral("Cancel"), QSize(90, 28));
    Command1->setButtonType(Command::BType::CancelButton);

    auto *fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("Name:"), this), 0, 0);
    fields->addWidget(Text1, 0, 1);
    fields->addWidget(new QLabel(QStringLiteral("URL:"), this), 1, 0);
    fields->addWidget(Text2, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command2);
    buttons->addWidget(Command1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);

    connect(Command2, &Command::Click, this, &frmEditURL::Command2_Click);
    connect(Command1, &Command::Click, this, &frmEditURL::Command1_Click);
    connect(Text1, &QLineEdit::returnPressed, this, &frmEditURL::Command2_Click);
    connect(Text2, &QLineEdit::returnPressed, this, &frmEditURL::Command2_Click);
}

void frmEditURL::Command2_Click()
{
    auto &dialogs = platform::Services::dialogs();
    if (Text1->text().trimmed().isEmpty()) {
        dialogs.msgBox(QStringLiteral("Please enter URL name!"), platform::Msg::Exclamation);
        Text1->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (Text2->text().trimmed().isEmpty()) {
        dialogs.msgBox(QStringLiteral("Please enter URL!"), platform::Msg::Exclamation);
        Text2->setFocus(Qt::OtherFocusReason);
        return;
    }
    m_result = ChildLink{Text1->text().trimmed(), LinksFile::CompleteUrl(Text2->text())};
    accept();
}

void frmEditURL::Command1_Click()
{
    m_result.reset();
    reject();
}

std::optional<ChildLink> frmEditURL::Edit(const ChildLink &link, const QStringList &knownAddresses, QWidget *parent)
{
    frmEditURL dialog(link, knownAddresses, parent);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.exec();
    return dialog.Result();
}
