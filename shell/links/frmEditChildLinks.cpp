#include "links/frmEditChildLinks.h"

#include "widgets/FormParts.h"
#include "links/frmEditURL.h"
#include "platform/Services.h"

#include <Command.h>

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace Msg = platform::Msg;

frmEditChildLinks::frmEditChildLinks(const QString &path, QWidget *parent)
    : QDialog(parent)
    , m_path(path)
{
    setObjectName(QStringLiteral("frmEditChildLinks"));
    setWindowTitle(QStringLiteral("Brindle - Edit Wicket Links"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    ListView1 = new QTreeWidget(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("URL")});
    ListView1->setRootIsDecorated(false);
    ListView1->setUniformRowHeights(true);
    ListView1->setAllColumnsShowFocus(true);
    // 4000 and 5000 twips.
    ListView1->header()->resizeSection(0, 267);
    ListView1->setMinimumSize(620, 300);
    connect(ListView1, &QTreeWidget::itemDoubleClicked, this, &frmEditChildLinks::Command2_Click);

    Command1 = FormParts::Button(this, "Command1", QStringLiteral("Add New..."), QSize(100, 28));
    Command2 = FormParts::Button(this, "Command2", QStringLiteral("Edit..."), QSize(100, 28));
    Command3 = FormParts::Button(this, "Command3", QStringLiteral("Remove..."), QSize(100, 28));
    Command5 = FormParts::Button(this, "Command5", QStringLiteral("OK"), QSize(100, 28));
    Command5->setButtonType(Command::BType::OkButton);
    Command4 = FormParts::Button(this, "Command4", QStringLiteral("CANCEL"), QSize(100, 28));
    Command4->setButtonType(Command::BType::CancelButton);
    connect(Command1, &Command::Click, this, &frmEditChildLinks::Command1_Click);
    connect(Command2, &Command::Click, this, &frmEditChildLinks::Command2_Click);
    connect(Command3, &Command::Click, this, &frmEditChildLinks::Command3_Click);
    connect(Command5, &Command::Click, this, &frmEditChildLinks::Command5_Click);
    connect(Command4, &Command::Click, this, &frmEditChildLinks::Command4_Click);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    buttons->addWidget(Command3);
    buttons->addStretch();
    buttons->addWidget(Command5);
    buttons->addWidget(Command4);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(ListView1);
    layout->addLayout(buttons);

    for (const ChildLink &link : LinksFile::Load(m_path))
        addRow(link);
    m_changed = false;
}

void frmEditChildLinks::addRow(const ChildLink &link)
{
    new QTreeWidgetItem(ListView1, {link.name, link.url});
}

QList<ChildLink> frmEditChildLinks::Links() const
{
    QList<ChildLink> links;
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = ListView1->topLevelItem(i);
        links.append({item->text(0), item->text(1)});
    }
    return links;
}

QStringList frmEditChildLinks::addresses() const
{
    QStringList urls;
    for (const ChildLink &link : Links())
        urls << link.url;
    return urls;
}

void frmEditChildLinks::Command1_Click()
{
    const std::optional<ChildLink> link = frmEditURL::Edit(ChildLink(), addresses(), this);
    if (!link)
        return;
    addRow(*link);
    m_changed = true;
    QTreeWidgetItem *item = ListView1->topLevelItem(ListView1->topLevelItemCount() - 1);
    ListView1->setCurrentItem(item);
    ListView1->scrollToItem(item);
}

void frmEditChildLinks::Command2_Click()
{
    QTreeWidgetItem *item = ListView1->currentItem();
    if (!item || !item->isSelected()) {
        platform::Services::dialogs().msgBox(QStringLiteral("Please select LINK to edit!"), Msg::Exclamation);
        return;
    }
    const std::optional<ChildLink> link = frmEditURL::Edit({item->text(0), item->text(1)}, addresses(), this);
    if (!link)
        return;
    item->setText(0, link->name);
    item->setText(1, link->url);
    m_changed = true;
}

void frmEditChildLinks::Command3_Click()
{
    QTreeWidgetItem *item = ListView1->currentItem();
    if (!item || !item->isSelected()) {
        platform::Services::dialogs().msgBox(QStringLiteral("Please select link to remove!"), Msg::Exclamation);
        return;
    }
    if (platform::Services::dialogs().msgBox(QStringLiteral("Remove item:") + item->text(0) + QStringLiteral(" ?"),
                                             Msg::Exclamation | Msg::OKCancel)
        != Msg::OK)
        return;
    m_changed = true;
    delete item;
}

bool frmEditChildLinks::save()
{
    QString why;
    if (LinksFile::Save(m_path, Links(), &why)) {
        m_changed = false;
        m_saved = true;
        return true;
    }
    // Nothing is lost: the dialog stays open with the list as edited.
    platform::Services::dialogs().msgBox(QStringLiteral("The links could not be saved.\r\n\r\n") + why,
                                         Msg::Critical);
    return false;
}

void frmEditChildLinks::Command5_Click()
{
    if (save())
        done(Accepted);
}

void frmEditChildLinks::Command4_Click()
{
    m_changed = false;
    done(Rejected);
}

void frmEditChildLinks::reject()
{
    Command4_Click();
}

void frmEditChildLinks::closeEvent(QCloseEvent *event)
{
    if (m_changed) {
        const int answer = platform::Services::dialogs().msgBox(QStringLiteral("Save changes?"),
                                                                Msg::Exclamation | Msg::YesNoCancel);
        if (answer == Msg::Cancel || (answer == Msg::Yes && !save())) {
            event->ignore();
            return;
        }
        m_changed = false;
    }
    event->accept();
    done(Rejected);
}

bool frmEditChildLinks::Edit(QWidget *parent)
{
    frmEditChildLinks dialog(LinksFile::DefaultPath(), parent);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.exec();
    return dialog.Saved();
}
