#include "frmTasks.h"

#include "widgets/FormParts.h"
#include "platform/Services.h"

#include <Command.h>

#include <QApplication>
#include <QHBoxLayout>
#include <QListWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

void FillTaskList(QListWidget *list)
{
    if (!list)
        return;
    QList<std::pair<QString, quint64>> rows;
    const QList<platform::Windows::TopLevel> windows = platform::Services::windows().topLevelWindows();
    const platform::Pid self = QCoreApplication::applicationPid();
    for (const platform::Windows::TopLevel &window : windows) {
        // The shell's own windows (the menu, this list) are no application to go to.
        if (!window.visible || window.hasParent || window.pid == self)
            continue;
        const bool application = (!window.hasOwner && !window.toolWindow) || (window.hasOwner && window.appWindow);
        if (!application)
            continue;
        const QString title = window.title.left(255);
        if (!title.isEmpty())
            rows.append({title, quint64(window.id)});
    }
    // The status bar asks every second: a list that has not changed is left
    // alone, with its selection, and costs no repaint.
    bool same = rows.size() == list->count();
    for (int i = 0; same && i < list->count(); ++i)
        same = list->item(i)->text() == rows.at(i).first
               && list->item(i)->data(Qt::UserRole).value<quint64>() == rows.at(i).second;
    if (same)
        return;
    list->clear();
    for (const auto &[title, id] : std::as_const(rows)) {
        auto *item = new QListWidgetItem(title, list);
        item->setData(Qt::UserRole, QVariant::fromValue<quint64>(id));
    }
}

namespace {

quint64 selectedWindow(const QListWidget *list)
{
    const QListWidgetItem *item = list->currentItem();
    return item && item->isSelected() ? item->data(Qt::UserRole).value<quint64>() : 0;
}

} // namespace

frmTasks::frmTasks(QWidget *menuForm, QWidget *parent)
    : QDialog(parent)
    , m_menuForm(menuForm)
{
    setObjectName(QStringLiteral("frmTasks"));
    setWindowTitle(QStringLiteral("Applications"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    resize(420, 320);

    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    Command1 = FormParts::Button(this, "Command1", QStringLiteral("Switch To"), QSize(100, 32));
    Command2 = FormParts::Button(this, "Command2", QStringLiteral("End"), QSize(100, 32));
    Command4 = FormParts::Button(this, "Command4", QStringLiteral("Refresh"), QSize(100, 32));
    Command3 = FormParts::Button(this, "Command3", QStringLiteral("Close"), QSize(100, 32));
    ReloadTimer = new QTimer(this);
    ReloadTimer->setObjectName(QStringLiteral("ReloadTimer"));
    ReloadTimer->setInterval(1000);

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    buttons->addWidget(Command4);
    buttons->addStretch();
    buttons->addWidget(Command3);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(List1, 1);
    layout->addLayout(buttons);

    connect(Command1, &Command::Click, this, &frmTasks::Command1_Click);
    connect(Command2, &Command::Click, this, &frmTasks::Command2_Click);
    connect(Command3, &Command::Click, this, &QDialog::reject);
    connect(Command4, &Command::Click, this, [this] { FillTaskList(List1); });
    connect(ReloadTimer, &QTimer::timeout, this, &frmTasks::ReloadTimer_Timer);
    connect(List1, &QListWidget::itemDoubleClicked, this, &frmTasks::Command1_Click);

    // Load.
    platform::Services::windows().setTopMost(this, true);
    FillTaskList(List1);
    if (List1->count() > 0)
        List1->setCurrentRow(0);
}

frmTasks::~frmTasks()
{
    restorePointer();
}

void frmTasks::ShowModal(QWidget *menuForm)
{
    frmTasks tasks(menuForm);
    tasks.setWindowModality(Qt::ApplicationModal);
    tasks.exec();
}

void frmTasks::Command1_Click()
{
    const quint64 window = selectedWindow(List1);
    if (!window)
        return;
    platform::Services::windows().activateWindow(window);
    if (m_menuForm)
        m_menuForm->setFocus();
    accept();
}

void frmTasks::Command2_Click()
{
    const quint64 window = selectedWindow(List1);
    if (!window)
        return;
    m_endedRow = List1->currentRow();
    const QListWidgetItem *below = List1->item(m_endedRow + 1);
    m_windowBelow = below ? below->data(Qt::UserRole).value<quint64>() : 0;
    if (!m_waitPointer) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_waitPointer = true;
    }
    platform::Services::windows().requestClose(window);
    ReloadTimer->start();
}

void frmTasks::ReloadTimer_Timer()
{
    ReloadTimer->stop();
    FillTaskList(List1);
    selectAfterEnd();
    restorePointer();
}

// The next row is selected, so that another "End" or "Switch To" needs no
// click into the list first.
void frmTasks::selectAfterEnd()
{
    if (m_endedRow < 0 || List1->count() == 0)
        return;
    int row = std::min(m_endedRow, List1->count() - 1);
    for (int i = 0; m_windowBelow && i < List1->count(); ++i) {
        if (List1->item(i)->data(Qt::UserRole).value<quint64>() == m_windowBelow) {
            row = i;
            break;
        }
    }
    List1->setCurrentRow(row);
    m_endedRow = -1;
}

void frmTasks::restorePointer()
{
    if (m_waitPointer) {
        QApplication::restoreOverrideCursor();
        m_waitPointer = false;
    }
}
