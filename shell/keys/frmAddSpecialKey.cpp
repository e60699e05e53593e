#include "keys/frmAddSpecialKey.h"

#include "Command.h"
#include "widgets/FormParts.h"
#include "keys/modKeys.h"
#include "keys/modKeyHandler.h"
#include "platform/Services.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QTimer>
#include <QVBoxLayout>

frmAddSpecialKey::frmAddSpecialKey(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAddSpecialKey"));
    setWindowTitle(QStringLiteral("Special Keyboard Commands"));
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);

    Label1 = new QLabel(QStringLiteral("List of special keys:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    Command1 = FormParts::Button(this, "Command1", QStringLiteral("Add key(s)"), QSize(100, 28));
    Command2 = FormParts::Button(this, "Command2", QStringLiteral("Clear list"), QSize(100, 28));
    Command3 = FormParts::Button(this, "Command3", QStringLiteral("Close"), QSize(100, 28));
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(50);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    buttons->addStretch();
    buttons->addWidget(Command3);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(List1);
    layout->addLayout(buttons);
    resize(420, 320);

    connect(Command1, &Command::Click, this, &frmAddSpecialKey::Command1_Click);
    connect(Command2, &Command::Click, this, &frmAddSpecialKey::Command2_Click);
    connect(Command3, &Command::Click, this, &frmAddSpecialKey::Command3_Click);
    connect(Timer1, &QTimer::timeout, this, &frmAddSpecialKey::Timer1_Timer);
    connect(List1, &QListWidget::itemDoubleClicked, this, &frmAddSpecialKey::List1_DblClick);

    RefreshList();
}

frmAddSpecialKey::~frmAddSpecialKey()
{
    // Never leave the keyboard taken or the flag set behind a closed dialog.
    if (m_capturing)
        platform::Services::keyboard().stopCapture();
    modKeys::SpecialKeyCapture = false;
}

void frmAddSpecialKey::RefreshList()
{
    List1->clear();
    for (const SpecialKey &entry : std::as_const(modKeys::SpecialKeys))
        List1->addItem(modKeys::FormatListLine(entry));
}

void frmAddSpecialKey::Command1_Click()
{
    auto &dialogs = platform::Services::dialogs();
    dialogs.msgBox(QStringLiteral("Press the keys you want to add, then press ESC key when you are done!"),
                   platform::Msg::Information);
    modKeys::SpecialKeyCapture = true;
    setEnabled(false);
    Timer1->start();

    // The capture takes the whole keyboard whether or not the first hook is
    // installed, so Escape ends it also in a "/debug" run.
    m_capturing = platform::Services::keyboard().startCapture(
        [](int virtualKey) {
            if (modKeys::AddCapturedKey(virtualKey))
                modKeyHandler::ApplySpecialKeys();
        },
        [this] {
            m_capturing = false;
            modKeys::SpecialKeyCapture = false;
        });
    if (!m_capturing) {
        // Without the keyboard the dialog would wait for an Escape that never comes.
        modKeys::SpecialKeyCapture = false;
        dialogs.msgBox(QStringLiteral("The keyboard could not be taken for capturing keys: "
                                      "another program holds it. Please try again."),
                       platform::Msg::Exclamation);
    }
}

void frmAddSpecialKey::Command2_Click()
{
    const int answer = platform::Services::dialogs().msgBox(
        QStringLiteral("Clear list?"), platform::Msg::Exclamation | platform::Msg::OKCancel);
    if (answer != platform::Msg::OK)
        return;
    modKeys::ClearSpecialKeys();
    modKeyHandler::ApplySpecialKeys();
    RefreshList();
}

void frmAddSpecialKey::Command3_Click()
{
    close();
}

void frmAddSpecialKey::Timer1_Timer()
{
    if (modKeys::SpecialKeyCapture)
        return;
    endCapture();
}

void frmAddSpecialKey::endCapture()
{
    Timer1->stop();
    if (m_capturing) {
        platform::Services::keyboard().stopCapture();
        m_capturing = false;
    }
    RefreshList();
    setEnabled(true);
}

void frmAddSpecialKey::List1_DblClick(QListWidgetItem *item)
{
    if (!item)
        return;
    const QString line = item->text();
    bool ok = false;
    const qint32 code = line.section(QLatin1Char(','), 0, 0).trimmed().toInt(&ok);
    if (!ok)
        return;
    qsizetype index = -1;
    for (qsizetype i = 0; i < modKeys::SpecialKeys.size(); ++i) {
        if (modKeys::SpecialKeys.at(i).KeyCode == code) {
            index = i;
            break;
        }
    }
    if (index < 0)
        return;
    const QString answer = platform::Services::dialogs().inputBox(
        QStringLiteral("Enter name for key ID(") + QString::number(code) + QStringLiteral("):"),
        QStringLiteral("Name key"), modKeys::SpecialKeys.at(index).Name);
    if (answer.isEmpty())
        return;
    modKeys::SpecialKeys[index].Name = answer;
    RefreshList();
    for (int row = 0; row < List1->count(); ++row) {
        if (List1->item(row)->text().contains(answer, Qt::CaseInsensitive)) {
            List1->setCurrentRow(row);
            break;
        }
    }
}

void frmAddSpecialKey::closeEvent(QCloseEvent *event)
{
    // While keys are being captured the dialog stays until Escape ends it.
    if (modKeys::SpecialKeyCapture) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void frmAddSpecialKey::keyPressEvent(QKeyEvent *event)
{
    // Escape ends a capture; it does not also close the dialog.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
