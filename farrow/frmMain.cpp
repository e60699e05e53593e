#include "frmMain.h"

#include "CommandLine.h"
#include "Cp1252.h"
#include "DialogPrompts.h"
#include "FormatSeconds.h"
#include "RememberedHosts.h"
#include "VbNumber.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTcpSocket>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int InForce = -1;
constexpr int LargestChoice = 280; // minutes
// A shell answers every poll within a second; this long a silence means the
// connection is lost even when TCP has not noticed yet.
constexpr qint64 SilenceLimitMs = 30 * 1000;
// A computer that drops the connection request would keep the console
// "connecting" for minutes.
constexpr int ConnectLimitMs = 15 * 1000;
constexpr qsizetype KeysKept = 8;
// Today's limit and hours change at midnight or with the parent's settings.
constexpr qint64 TodayEveryMs = 30 * 1000;

QPushButton *button(QWidget *parent, const char *name, const QString &caption)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setMinimumWidth(100);
    return b;
}

QTimer *timer(QObject *parent, const char *name, int interval, bool singleShot = false)
{
    auto *t = new QTimer(parent);
    t->setObjectName(QLatin1String(name));
    t->setInterval(interval);
    t->setSingleShot(singleShot);
    return t;
}

QGroupBox *group(QWidget *parent, const QString &caption, QLayout *content)
{
    auto *box = new QGroupBox(caption, parent);
    box->setLayout(content);
    return box;
}

} // namespace

frmMain::frmMain(const QString &commandLine, ConsolePrompts *prompts, QWidget *parent)
    : QWidget(parent)
    , m_prompts(prompts)
{
    if (!m_prompts) {
        m_ownPrompts = std::make_unique<DialogPrompts>();
        m_prompts = m_ownPrompts.get();
    }
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Brindle Remote Control"));
    BuildControls();
    SetConnectedControls(false);
    Combo1->setCurrentIndex(-1);
    Load(commandLine);
}

frmMain::~frmMain()
{
    // The console ends the connection; nothing of it may reach a half-gone window.
    Winsock1->disconnect(this);
    Winsock1->close();
    SetBusy(false);
}

void frmMain::BuildControls()
{
    Text1 = new QComboBox(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setEditable(true);
    Text1->setInsertPolicy(QComboBox::NoInsert);
    Text1->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    Command4 = button(this, "Command4", QStringLiteral("Connect"));
    Command4->setDefault(true);
    Command5 = button(this, "Command5", QStringLiteral("Disconnect"));
    auto *general = new QHBoxLayout;
    general->addWidget(new QLabel(QStringLiteral("Computer:"), this));
    general->addWidget(Text1, 1);
    general->addWidget(Command4);
    general->addWidget(Command5);

    Label3 = new QLabel(QStringLiteral("00:00:00"), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    QFont big = Label3->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    Label3->setFont(big);
    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->addItem(QStringLiteral("Disabled"), 0);
    for (int minutes = 5; minutes <= LargestChoice; minutes += 5)
        Combo1->addItem(QString::number(minutes) + QStringLiteral(" Minutes"), 0);
    Command2 = button(this, "Command2", QStringLiteral("Reset Time"));
    Command3 = button(this, "Command3", QStringLiteral("Set New Time"));
    Label4 = new QLabel(QStringLiteral("SHOWING TIME-EXPIRED-DIALOG!"), this);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setStyleSheet(QStringLiteral("color: #c00000; font-weight: bold;"));
    QSizePolicy keepPlace = Label4->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true); // blinking must not move the form
    Label4->setSizePolicy(keepPlace);
    Label4->hide();
    LabelToday = new QLabel(this);
    LabelToday->setObjectName(QStringLiteral("LabelToday"));
    CommandExtra5 = button(this, "CommandExtra5", QStringLiteral("+5"));
    CommandExtra15 = button(this, "CommandExtra15", QStringLiteral("+15"));
    CommandExtra30 = button(this, "CommandExtra30", QStringLiteral("+30 min"));
    CommandLock = button(this, "CommandLock", QStringLiteral("Lock"));
    CommandUnlock = button(this, "CommandUnlock", QStringLiteral("Unlock"));
    auto *extra = new QHBoxLayout;
    for (QPushButton *b : {CommandExtra5, CommandExtra15, CommandExtra30, CommandLock, CommandUnlock}) {
        b->setMinimumWidth(0);
        extra->addWidget(b);
    }
    auto *time = new QGridLayout;
    time->addWidget(new QLabel(QStringLiteral("Time Left:"), this), 0, 0);
    time->addWidget(Label3, 0, 1, 1, 2);
    time->addWidget(LabelToday, 1, 0, 1, 3);
    time->addWidget(Combo1, 2, 0, 1, 3);
    time->addWidget(Command2, 3, 0, 1, 2);
    time->addWidget(Command3, 3, 2);
    time->addLayout(extra, 4, 0, 1, 3);
    time->addWidget(Label4, 5, 0, 1, 3);
    time->setColumnStretch(1, 1);

    Command1 = button(this, "Command1", QStringLiteral("Shutdown"));
    auto *shutdown = new QVBoxLayout;
    shutdown->addWidget(Command1);
    shutdown->addStretch(1);

    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    Command6 = button(this, "Command6", QStringLiteral("Start"));
    auto *startColumn = new QVBoxLayout;
    startColumn->addWidget(Command6);
    startColumn->addStretch(1);
    auto *activate = new QHBoxLayout;
    activate->addWidget(List1, 1);
    activate->addLayout(startColumn);

    Picture4 = new QLabel(this);
    Picture4->setObjectName(QStringLiteral("Picture4"));
    Picture4->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Picture4->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Picture4->setMinimumHeight(Picture4->fontMetrics().height() + 6);

    auto *middle = new QHBoxLayout;
    middle->addWidget(group(this, QStringLiteral("Time"), time), 1);
    middle->addWidget(group(this, QStringLiteral("Shut down the computer"), shutdown));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(group(this, QStringLiteral("General"), general));
    layout->addLayout(middle);
    layout->addWidget(group(this, QStringLiteral("Activate Button"), activate), 1);
    layout->addWidget(Picture4);
    resize(500, 480);

    connect(Command1, &QPushButton::clicked, this, &frmMain::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmMain::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &frmMain::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &frmMain::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &frmMain::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &frmMain::Command6_Click);
    connect(List1, &QListWidget::itemDoubleClicked, this, &frmMain::Command6_Click);
    connect(CommandExtra5, &QPushButton::clicked, this, [this] { ExtraTime(5); });
    connect(CommandExtra15, &QPushButton::clicked, this, [this] { ExtraTime(15); });
    connect(CommandExtra30, &QPushButton::clicked, this, [this] { ExtraTime(30); });
    connect(CommandLock, &QPushButton::clicked, this, [this] { SetLocked(true); });
    connect(CommandUnlock, &QPushButton::clicked, this, [this] { SetLocked(false); });

    Fc = timer(this, "Fc", 10, true);
    Timer3 = timer(this, "Timer3", 50);
    TimerSecondsLeft = timer(this, "TimerSecondsLeft", 1000);
    Timer2 = timer(this, "Timer2", 500);
    CloseConnectionTimer = timer(this, "CloseConnectionTimer", 10, true);
    ConnectTimer = timer(this, "ConnectTimer", ConnectLimitMs, true);
    connect(Fc, &QTimer::timeout, this, &frmMain::Fc_Timer);
    connect(Timer3, &QTimer::timeout, this, &frmMain::Timer3_Timer);
    connect(TimerSecondsLeft, &QTimer::timeout, this, &frmMain::TimerSecondsLeft_Timer);
    connect(Timer2, &QTimer::timeout, this, &frmMain::Timer2_Timer);
    connect(CloseConnectionTimer, &QTimer::timeout, this, &frmMain::CloseConnectionTimer_Timer);
    connect(ConnectTimer, &QTimer::timeout, this, [this] {
        Fail(QStringLiteral("Error: ") + m_host + QStringLiteral(" does not answer."));
    });

    Winsock1 = new QTcpSocket(this);
    Winsock1->setObjectName(QStringLiteral("Winsock1"));
    connect(Winsock1, &QTcpSocket::connected, this, &frmMain::Winsock1_Connect);
    connect(Winsock1, &QTcpSocket::readyRead, this, &frmMain::Winsock1_DataArrival);
    connect(Winsock1, &QTcpSocket::disconnected, this, &frmMain::Winsock1_Close);
    connect(Winsock1, &QTcpSocket::errorOccurred, this, &frmMain::Winsock1_Error);
}

void frmMain::Load(const QString &commandLine)
{
    Fc->start();
    Timer3->start();
    AutoLoad();
    const CommandLine line = CommandLine::Split(commandLine);
    if (!line.valid) {
        m_prompts->Warning(this, QStringLiteral("Invalid command line options!"));
        return;
    }
    m_cmdHost = line.host;
    m_cmdPassword = line.password;
    if (!m_cmdHost.isEmpty()) {
        Text1->setEditText(m_cmdHost);
        Command4_Click();
    }
}

void frmMain::keyPressEvent(QKeyEvent *event)
{
    // Enter presses the default button "Connect".
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && Command4->isEnabled()) {
        Command4->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool frmMain::Connected() const
{
    return Winsock1->state() == QAbstractSocket::ConnectedState;
}

void frmMain::ST(const QString &strTxt)
{
    m_lastStatus = strTxt;
    Picture4->setText(strTxt + QLatin1Char(' '));
}

void frmMain::SetBusy(bool busy)
{
    if (busy == m_busy)
        return;
    m_busy = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void frmMain::SetConnectedControls(bool connected)
{
    SetSteeringControls(connected);
    Text1->setEnabled(!connected);
    Command4->setEnabled(!connected);
}

void frmMain::SetSteeringControls(bool enabled)
{
    const QList<QWidget *> steering{Command1,       Command2,      Command3,    Combo1,       Command6,
                                    CommandExtra5, CommandExtra15, CommandExtra30, CommandLock, CommandUnlock};
    for (QWidget *w : steering)
        w->setEnabled(enabled);
}

void frmMain::MarkInForce(int index)
{
    for (int i = 0; i < Combo1->count(); ++i)
        Combo1->setItemData(i, i == index ? InForce : 0);
}

void frmMain::AutoLoad()
{
    Text1->clear();
    const QStringList hosts = RememberedHosts::Load();
    Text1->addItems(hosts);
    if (!hosts.isEmpty())
        Text1->setCurrentIndex(0);
}

void frmMain::AutoAdd(const QString &sText)
{
    QString why;
    if (!RememberedHosts::Add(sText, &why))
        m_prompts->Warning(this, QStringLiteral("%1 could not be added to the remembered computers.\r\n\r\n%2")
                                     .arg(sText, why));
    AutoLoad();
    Text1->setEditText(sText);
}

void frmMain::AddButtonList(const QString &strButtons)
{
    for (const QString &piece : strButtons.split(QStringLiteral("\r\n"))) {
        const qsizetype bar = piece.indexOf(QLatin1Char('|'));
        if (bar < 0)
            continue;
        auto *item = new QListWidgetItem(piece.mid(bar + 1), List1);
        item->setData(Qt::UserRole, VbNumber::ValInt(piece.left(bar)));
    }
}

void frmMain::DoConnect()
{
    SetBusy(true);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    m_host = Text1->currentText().trimmed();
    const RemoteProtocol::HostPort target = RemoteProtocol::ParseHost(m_host);
    if (Connected() && Winsock1->peerPort() == target.port
        && (Winsock1->peerName() == target.host || Winsock1->peerAddress() == QHostAddress(target.host))) {
        SetBusy(false);
        return;
    }
    Winsock1->abort();
    ST(QStringLiteral("Connecting to :") + m_host);
    if (!target.ok) {
        Fail(QStringLiteral("Error: \"%1\" is not a computer name or address.").arg(m_host));
        return;
    }
    m_reader.Reset();
    ++m_connection;
    ConnectTimer->start();
    Winsock1->connectToHost(target.host, target.port);
}

void frmMain::Fail(const QString &text)
{
    m_unheard = false;
    ST(text);
    Winsock1->abort();
    ConnectionClosed();
}

bool frmMain::Send(const QString &text)
{
    if (!Connected())
        return false;
    if (Winsock1->write(Cp1252::encode(text)) < 0) {
        Fail(QStringLiteral("Error: ") + Winsock1->errorString());
        return false;
    }
    // Each of these gets one "/ok" or "/er" ("/td" its own answer), in the order sent.
    static const QStringList answered{QStringLiteral("/au"), QStringLiteral("/rt"), QStringLiteral("/sd"),
                                      QStringLiteral("/ex"), QStringLiteral("/xt"), QStringLiteral("/lk"),
                                      QStringLiteral("/td")};
    const QString word = RemoteProtocol::Word(text);
    if (answered.contains(word))
        m_awaitedReplies.append(word);
    return true;
}

void frmMain::Command4_Click()
{
    DoConnect();
    AutoAdd(m_host);
}

void frmMain::Command5_Click()
{
    m_unheard = false;
    Winsock1->close();
    ConnectionClosed();
}

void frmMain::Command1_Click()
{
    if (!Connected()
        || !m_prompts->Confirm(this, QMessageBox::Warning, QStringLiteral("Shutdown?"),
                               QStringLiteral("Shutdown ") + m_host + QStringLiteral(" now?")))
        return;
    if (Send(QStringLiteral("/sd")))
        SetBusy(true);
}

void frmMain::Command2_Click()
{
    if (Send(QStringLiteral("/rt")))
        SetBusy(true);
}

void frmMain::Command3_Click()
{
    const int choice = Combo1->currentIndex();
    if (choice < 0 || !Send(QStringLiteral("/rt") + QString::number(choice)))
        return;
    MarkInForce(choice);
    SetBusy(true);
}

void frmMain::Command6_Click()
{
    QListWidgetItem *item = List1->currentItem();
    if (!Connected() || !item)
        return;
    const QString question = QStringLiteral("Launch \"%1\" on \"%2\" ?").arg(item->text(), m_host);
    if (m_prompts->Confirm(this, QMessageBox::Question, QString(), question))
        Send(QStringLiteral("/ex") + QString::number(item->data(Qt::UserRole).toInt()));
}

void frmMain::ExtraTime(int minutes)
{
    if (Send(QStringLiteral("/xt") + QString::number(minutes)))
        SetBusy(true);
}

void frmMain::SetLocked(bool locked)
{
    if (Send(locked ? QStringLiteral("/lk1") : QStringLiteral("/lk0")))
        SetBusy(true);
}

void frmMain::AskToday()
{
    if (!m_todayKnown || (m_todayAsked.isValid() && m_todayAsked.elapsed() < TodayEveryMs))
        return;
    m_todayAsked.start();
    Send(QStringLiteral("/td"));
}

void frmMain::ShowToday(const QString &argument)
{
    const int minutes = VbNumber::ValInt(argument.section(QLatin1Char('#'), 0, 0));
    const QString hours = argument.section(QLatin1Char('#'), 1, 1);
    QString limit = QStringLiteral("no limit");
    if (minutes > 0)
        limit = minutes % 60 == 0   ? QStringLiteral("%1 h").arg(minutes / 60)
                : minutes < 60      ? QStringLiteral("%1 min").arg(minutes)
                                    : QStringLiteral("%1 h %2 min").arg(minutes / 60).arg(minutes % 60);
    LabelToday->setText(QStringLiteral("Today: %1, %2").arg(limit, hours.isEmpty() ? QStringLiteral("all day") : hours));
}

void frmMain::Winsock1_Connect()
{
    ConnectTimer->stop();
    m_unheard = true;
    SetBusy(false);
    Winsock1->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_lastReceipt.start();
    SetConnectedControls(true);
    // The shell refuses commands until the password is proven.
    SetSteeringControls(false);
}

void frmMain::Winsock1_DataArrival()
{
    m_unheard = false;
    m_lastReceipt.start();
    const quint64 connection = m_connection;
    for (const RemoteProtocol::Message &message : m_reader.Feed(Winsock1->readAll())) {
        if (connection != m_connection || !Connected())
            return;
        if (message.listContinuation)
            AddButtonList(message.text);
        else
            Dispatch(message.text);
    }
}

void frmMain::Dispatch(const QString &message)
{
    const QString word = RemoteProtocol::Word(message);
    const QString argument = RemoteProtocol::Argument(message);
    if (word == QLatin1String("/we")) {
        if (message.endsWith(QLatin1Char('!')))
            Timer2->start();
        if (argument.startsWith(QLatin1Char('L')))
            Label3->setText(QStringLiteral("LOCKED"));
        ST(m_host + QStringLiteral(": welcome!"));
        TimerSecondsLeft->start();
        SetBusy(true);
        Send(QStringLiteral("/tm"));
    } else if (word == QLatin1String("/tm")) {
        const int choice = VbNumber::ValInt(argument);
        if (choice < 0 || choice >= Combo1->count()) {
            Fail(QStringLiteral("Error: the play time %1 is not one of the choices.").arg(argument));
            return;
        }
        Combo1->setCurrentIndex(choice);
        MarkInForce(choice);
        SetBusy(false);
        Send(QStringLiteral("/bl"));
    } else if (word == QLatin1String("/bl")) {
        AddButtonList(argument);
        Send(QStringLiteral("/pw"));
    } else if (word == QLatin1String("/pw")) {
        SetBusy(false);
        if (argument.isEmpty()) {
            SetSteeringControls(true); // no password set on the shell
            return;
        }
        // Asked after this handler returns, so replies keep arriving meanwhile.
        QTimer::singleShot(0, this, [this, connection = m_connection, argument] {
            PasswordCheck(connection, argument);
        });
    } else if (word == QLatin1String("/sl")) {
        Label3->setText(FormatSeconds(VbNumber::Val(argument)));
        AskToday();
    } else if (word == QLatin1String("/sp") || word == QLatin1String("/lk")) {
        const QString state = word == QLatin1String("/sp") ? QStringLiteral("PAUSED") : QStringLiteral("LOCKED");
        Label3->setText(m_pausedToggle ? state : FormatSeconds(VbNumber::Val(argument)));
        m_pausedToggle = !m_pausedToggle;
        AskToday();
    } else if (word == QLatin1String("/td")) {
        if (!m_awaitedReplies.isEmpty() && m_awaitedReplies.first() == QLatin1String("/td"))
            m_awaitedReplies.removeFirst();
        ShowToday(argument);
    } else if (word == QLatin1String("/ok")) {
        if (!m_awaitedReplies.isEmpty() && m_awaitedReplies.takeFirst() == QLatin1String("/au")) {
            SetSteeringControls(true); // the password is proven
            return;
        }
        Timer2->stop();
        Label4->hide();
        SetBusy(false);
        ST(m_host + QStringLiteral(" Responds: OK! Command executed!"));
    } else if (word == QLatin1String("/er")) {
        const QString refused = m_awaitedReplies.isEmpty() ? QString() : m_awaitedReplies.takeFirst();
        if (refused == QLatin1String("/au")) {
            PasswordRefused(argument);
            return;
        }
        if (refused == QLatin1String("/td")) {
            m_todayKnown = false; // a shell from before "/td"
            return;
        }
        SetBusy(false);
        ST(m_host + QStringLiteral(": Error executing command!"));
    }
}

void frmMain::PasswordCheck(quint64 connection, const QString &argument)
{
    if (connection != m_connection || !Connected())
        return;
    // Only a challenge this console can derive the key for is answered.
    const RemoteProtocol::Challenge challenge = RemoteProtocol::ParseChallenge(argument);
    if (!challenge.ok || !PasswordKey::acceptable(challenge.salt, challenge.iterations)) {
        Fail(QStringLiteral("Error: ") + m_host
             + QStringLiteral(" asks for the password in a form this console cannot answer."));
        return;
    }
    QString password;
    if (!m_cmdPassword.isEmpty()) {
        password = m_cmdPassword;
        m_cmdPassword.clear();
        m_cmdHost.clear();
    } else {
        password = m_prompts->AskPassword(
            this, QStringLiteral("Enter Brindle Password for [") + m_host + QStringLiteral("]:"),
            QStringLiteral("Password:"));
    }
    // The shell may have let the connection go while the parent typed.
    if (connection != m_connection || !Connected())
        return;
    const PasswordKey key = KeyFor(password, challenge);
    Send(QStringLiteral("/au") + RemoteProtocol::Answer(challenge.nonce, key.key));
}

PasswordKey frmMain::KeyFor(const QString &password, const RemoteProtocol::Challenge &challenge)
{
    const QString lower = password.toLower();
    for (const CachedKey &cached : std::as_const(m_keys)) {
        if (cached.host == m_host && cached.password == lower && cached.key.salt == challenge.salt
            && cached.key.iterations == challenge.iterations)
            return cached.key;
    }
    SetBusy(true); // a fraction of a second
    const PasswordKey key = PasswordKey::derive(password, challenge.salt, challenge.iterations);
    SetBusy(false);
    m_keys.prepend({m_host, lower, key});
    if (m_keys.size() > KeysKept)
        m_keys.removeLast();
    return key;
}

void frmMain::PasswordRefused(const QString &argument)
{
    CloseConnectionTimer->start();
    ConnectionClosed();
    // "/er" with seconds: the shell did not judge the answer.
    const int wait = VbNumber::ValInt(argument);
    m_prompts->Warning(this, wait > 0 ? QStringLiteral("%1 did not check the password: after wrong passwords it "
                                                       "waits %2 s. Try again then.")
                                            .arg(m_host)
                                            .arg(wait)
                                      : QStringLiteral("Invalid Password!"));
}

void frmMain::Winsock1_Close()
{
    // A shell that already serves another console closes at once, unheard.
    if (m_unheard)
        ST(QStringLiteral("Error: ") + m_host
           + QStringLiteral(" closed the connection at once; another console may be connected to it."));
    ConnectionClosed();
}

void frmMain::Winsock1_Error()
{
    // The shell hanging up is a close, not an error.
    if (Winsock1->error() == QAbstractSocket::RemoteHostClosedError)
        return;
    Fail(QStringLiteral("Error: ") + Winsock1->errorString());
}

void frmMain::ConnectionClosed()
{
    // A window that shows no connection holds none: the shell's one slot is
    // free for the next console at once.
    {
        const QSignalBlocker quiet(Winsock1);
        Winsock1->abort();
    }
    SetBusy(false);
    ConnectTimer->stop();
    TimerSecondsLeft->stop();
    Timer2->stop();
    Label4->hide();
    SetConnectedControls(false);
    List1->clear();
    Label3->setText(QStringLiteral("00:00:00"));
    Combo1->setCurrentIndex(-1);
    MarkInForce(-1);
    LabelToday->clear();
    m_todayAsked.invalidate();
    m_todayKnown = true;
    m_awaitedReplies.clear();
    m_unheard = false;
    if (!m_lastStatus.contains(QLatin1String("error"), Qt::CaseInsensitive))
        ST(QStringLiteral("Connection closed."));
    m_cmdHost.clear();
    m_cmdPassword.clear();
}

void frmMain::Fc_Timer()
{
    if (Text1->currentText().isEmpty())
        return;
    Text1->lineEdit()->selectAll();
    Text1->setFocus();
}

void frmMain::Timer2_Timer()
{
    Label4->setHidden(!Label4->isHidden());
}

void frmMain::Timer3_Timer()
{
    const int choice = Combo1->currentIndex();
    Command3->setEnabled(Connected() && Combo1->isEnabled() && choice >= 0
                         && Combo1->itemData(choice).toInt() != InForce);
}

void frmMain::TimerSecondsLeft_Timer()
{
    if (!Connected()) {
        TimerSecondsLeft->stop();
        return;
    }
    if (m_lastReceipt.elapsed() > SilenceLimitMs) {
        Fail(QStringLiteral("Error: ") + m_host + QStringLiteral(" does not answer."));
        return;
    }
    Send(QStringLiteral("/sl"));
}

void frmMain::CloseConnectionTimer_Timer()
{
    Winsock1->close();
}
