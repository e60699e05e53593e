#pragma once

#include "PasswordKey.h"
#include "RemoteProtocol.h"

#include <QElapsedTimer>
#include <QWidget>

#include <memory>

class ConsolePrompts;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTcpSocket;
class QTimer;

// The remote console's window: connects to one shell, shows its remaining
// play time and today's limit and hours, and restarts or changes the play
// time, adds extra time, locks the PC, starts a menu button or switches the
// PC off. The parent proves the shell's password by answering
// its challenge with the password's slow-derived key; the password never
// crosses the network.
class frmMain : public QWidget
{
    Q_OBJECT

public:
    // commandLine is "host|password" or empty. Without prompts the window
    // asks with its own message and input boxes.
    explicit frmMain(const QString &commandLine, ConsolePrompts *prompts = nullptr, QWidget *parent = nullptr);
    ~frmMain() override;

    void DoConnect();
    bool Connected() const;
    // The status line.
    void ST(const QString &strTxt);
    void AddButtonList(const QString &strButtons);
    void AutoAdd(const QString &sText);
    void AutoLoad();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void BuildControls();
    void Load(const QString &commandLine);
    void SetBusy(bool busy);
    void SetConnectedControls(bool connected);
    void SetSteeringControls(bool enabled);
    void MarkInForce(int index);
    bool Send(const QString &text);
    void Fail(const QString &text);

    void Command1_Click(); // Shutdown
    void Command2_Click(); // Reset Time
    void Command3_Click(); // Set New Time
    void Command4_Click(); // Connect
    void Command5_Click(); // Disconnect
    void Command6_Click(); // Start
    void ExtraTime(int minutes);
    void SetLocked(bool locked);
    void AskToday();
    void ShowToday(const QString &argument);

    void Winsock1_Connect();
    void Winsock1_DataArrival();
    void Winsock1_Close();
    void Winsock1_Error();
    void Dispatch(const QString &message);
    void PasswordCheck(quint64 connection, const QString &argument);
    PasswordKey KeyFor(const QString &password, const RemoteProtocol::Challenge &challenge);
    void PasswordRefused(const QString &argument);
    void ConnectionClosed();

    void Fc_Timer();
    void Timer2_Timer();
    void Timer3_Timer();
    void TimerSecondsLeft_Timer();
    void CloseConnectionTimer_Timer();

    std::unique_ptr<ConsolePrompts> m_ownPrompts;
    ConsolePrompts *m_prompts = nullptr;

    QComboBox *Text1 = nullptr;
    QPushButton *Command4 = nullptr;
    QPushButton *Command5 = nullptr;
    QLabel *Label3 = nullptr;
    QComboBox *Combo1 = nullptr;
    QPushButton *Command2 = nullptr;
    QPushButton *Command3 = nullptr;
    QLabel *Label4 = nullptr;
    QPushButton *Command1 = nullptr;
    QListWidget *List1 = nullptr;
    QPushButton *Command6 = nullptr;
    QLabel *Picture4 = nullptr;
    // A family's day: today's limit and hours, extra time, the lock.
    QLabel *LabelToday = nullptr;
    QPushButton *CommandExtra5 = nullptr;
    QPushButton *CommandExtra15 = nullptr;
    QPushButton *CommandExtra30 = nullptr;
    QPushButton *CommandLock = nullptr;
    QPushButton *CommandUnlock = nullptr;

    QTimer *Fc = nullptr;
    QTimer *Timer3 = nullptr;
    QTimer *TimerSecondsLeft = nullptr;
    QTimer *Timer2 = nullptr;
    QTimer *CloseConnectionTimer = nullptr;
    QTimer *ConnectTimer = nullptr;

    QTcpSocket *Winsock1 = nullptr;
    RemoteProtocol::Reader m_reader;

    QString m_lastStatus;
    QString m_host;            // the host text of the present connection
    QString m_cmdHost;         // from the command line, until used
    QString m_cmdPassword;
    bool m_unheard = false; // connected, and nothing received yet
    bool m_pausedToggle = false;
    bool m_busy = false;
    QStringList m_awaitedReplies;  // the words of commands sent that get one reply each, in order
    quint64 m_connection = 0;      // counts connection attempts
    QElapsedTimer m_lastReceipt;
    QElapsedTimer m_todayAsked;    // invalid: not asked on this connection
    bool m_todayKnown = true;      // the shell answers "/td" (an older one does not)

    // Keys derived in this run, so that a reconnect does not derive again.
    struct CachedKey
    {
        QString host;
        QString password; // lower case
        PasswordKey key;
    };
    QList<CachedKey> m_keys;
};
