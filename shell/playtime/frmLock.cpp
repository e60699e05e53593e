#include "frmLock.h"

#include "widgets/FormParts.h"

#include <Command.h>

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

frmLock::frmLock(QWidget *parent)
    // Beside the window manager: no frame, no close, nothing to move away.
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint
                          | Qt::X11BypassWindowManagerHint)
{
    setObjectName(QStringLiteral("frmLock"));
    setWindowTitle(QStringLiteral("Time for a break"));
    setAttribute(Qt::WA_StyledBackground);
    const auto [back, text] = FormParts::MenuColours();
    setStyleSheet(QStringLiteral("#frmLock { background: %1; } #frmLock > QLabel { color: %2; }")
                      .arg(back.name(), text.name()));

    m_heading = new QLabel(QStringLiteral("Time for a break"), this);
    m_heading->setObjectName(QStringLiteral("lblHeading"));
    m_heading->setAlignment(Qt::AlignCenter);
    m_heading->setFont(QFont(QStringLiteral("Tahoma"), 48, QFont::Bold));
    m_text = new QLabel(QStringLiteral("Your parent has paused play for a while.\n"
                                       "Your games are waiting for you right where you left them."),
                        this);
    m_text->setObjectName(QStringLiteral("lblText"));
    m_text->setAlignment(Qt::AlignCenter);
    m_text->setFont(QFont(QStringLiteral("Tahoma"), 18));

    auto *label = new QLabel(QStringLiteral("Parent's password:"), this);
    label->setFont(QFont(QStringLiteral("Tahoma"), 12));
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("txtPassword"));
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setFont(QFont(QStringLiteral("Tahoma"), 12));
    m_password->setFixedWidth(240);
    m_unlock = FormParts::Button(this, "cmdUnlock", QStringLiteral("Unlock"), QSize(100, 30));
    connect(m_unlock, &Command::Click, this, &frmLock::submit);
    connect(m_password, &QLineEdit::returnPressed, this, &frmLock::submit);
    m_wrong = new QLabel(this);
    m_wrong->setObjectName(QStringLiteral("lblWrong"));
    m_wrong->setAlignment(Qt::AlignCenter);
    m_wrong->setFont(QFont(QStringLiteral("Tahoma"), 12, QFont::Bold));

    auto *row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(label);
    row->addWidget(m_password);
    row->addWidget(m_unlock);
    row->addStretch(1);

    auto *layout = new QVBoxLayout(this);
    layout->addStretch(2);
    layout->addWidget(m_heading);
    layout->addSpacing(24);
    layout->addWidget(m_text);
    layout->addStretch(3);
    layout->addLayout(row);
    layout->addWidget(m_wrong);
    layout->addSpacing(40);

    m_holdTimer = new QTimer(this);
    m_holdTimer->setObjectName(QStringLiteral("HoldTimer"));
    m_holdTimer->setInterval(HoldEveryMs);
    connect(m_holdTimer, &QTimer::timeout, this, &frmLock::hold);
}

frmLock::~frmLock()
{
    m_password->releaseKeyboard();
}

void frmLock::Cover()
{
    QRect all;
    for (const QScreen *screen : QGuiApplication::screens())
        all = all.united(screen->geometry());
    setGeometry(all);
    show();
    hold();
    m_holdTimer->start();
}

// Above whatever raised itself since, with the keyboard: the password box
// gets every key, so Alt+Tab, Alt+F4 and the rest reach nothing else.
void frmLock::hold()
{
    raise();
    activateWindow();
    m_password->setFocus();
    m_password->grabKeyboard();
}

void frmLock::submit()
{
    const QString typed = m_password->text();
    m_password->clear();
    m_wrong->clear();
    emit passwordEntered(typed);
}

void frmLock::WrongPassword()
{
    m_password->clear();
    m_wrong->setText(QStringLiteral("That is not the password. Please try again."));
}

void frmLock::keyPressEvent(QKeyEvent *event)
{
    // Escape and the like end nothing here.
    event->accept();
}

void frmLock::closeEvent(QCloseEvent *event)
{
    event->ignore();
}

void frmLock::hideEvent(QHideEvent *event)
{
    m_holdTimer->stop();
    m_password->releaseKeyboard();
    QWidget::hideEvent(event);
}
