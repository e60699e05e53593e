#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The wire pieces shared by the shell's remote server and the Farrow console.
//
// A message is a command word (a slash and two letters, compared in lower
// case) followed by its argument, in Windows-1252, without any delimiter. TCP
// may deliver several messages in one read, so a received chunk is split at
// the places where a known command word begins. A payload must never be taken
// for a command, which holds because of what payloads may contain:
//   - numbers, the "!" of the greeting, the "/pw#" challenge (hexadecimal
//     and decimal fields after "#" marks) and the "/au" answer contain no
//     slash at all;
//   - the "/bl" list is free text (button captions may hold "/sl" or any
//     other word), but it is made of CR LF-ended lines that each begin with a
//     decimal index, and the shell turns line breaks inside captions into
//     blanks. Inside a list a new message can therefore begin only right
//     after the word "/bl" or at the start of a line, never in a caption.
// A list line cut by TCP is held back until its CR LF arrives; list lines
// that arrive in a later read are handed on as a continuation of the list.
// The one or two characters of a command word cut at the end of a read wait
// for the rest; other messages are taken as received.
//
// The words of a family's day: "/xt" + whole minutes 1-600 adds extra time,
// "/lk1" locks the PC and "/lk0" ends the lock (each steers, answered "/ok"
// or "/er"); "/td" reads today's limit and allowed hours, answered "/td" +
// minutes ("0": no limit) + "#" + "HH:MM-HH:MM" (empty: the whole day). While
// the PC is locked "/sl" is answered "/lk" + the seconds left, and the
// greeting carries an "L" after "/we" ("/weL", "/weL!"); an unlocked PC greets
// with "/we" or "/we!" as before.
namespace RemoteProtocol {

constexpr quint16 DefaultPort = 666;

// The shell's port: BRINDLE_PORT when it holds a valid port, else 666.
quint16 ShellPort();

// "host", "host:port", "[v6 address]:port" or a bare IPv6 address; the port
// defaults to 666. ok is false for an empty host or a port that is no port.
struct HostPort
{
    QString host;
    quint16 port = DefaultPort;
    bool ok = false;
};
HostPort ParseHost(const QString &text);

// "/tm" for any letter case of a known word, else empty.
QString Word(const QString &message);
QString Argument(const QString &message);

struct Message
{
    QString text;
    // More lines of the button list received before (no command word).
    bool listContinuation = false;
};

// Splits one connection's received data into messages.
class Reader
{
public:
    // A list line that has not ended is held up to holdLimit characters, then
    // handed on as it is. With 0 nothing is taken for a list (the shell's
    // side: consoles send none).
    explicit Reader(qsizetype holdLimit = 256 * 1024)
        : m_holdLimit(holdLimit)
    {
    }
    QList<Message> Feed(const QByteArray &chunk);
    void Reset();

private:
    qsizetype m_holdLimit;
    QString m_held;        // a list whose last line has not ended yet
    QString m_cutWord;     // the start of a command word at the end of a read
    bool m_inList = false; // the last message handed on was a list
};

// The shell's challenge, "/pw#" + nonce + "#" + salt in hexadecimal + "#" +
// iterations: what the console needs to derive the password's key and answer.
struct Challenge
{
    QString nonce; // 32 hexadecimal digits
    QByteArray salt;
    int iterations = 0;
    bool ok = false; // the text had this form (the values are not judged)
};

// 32 hexadecimal digits from the system's cryptographic random source.
QString NewNonce();
QString ChallengeMessage(const QString &nonce, const QByteArray &salt, int iterations);
// Reads the argument of a "/pw" reply ("#" + nonce + "#" + salt + "#" + count).
Challenge ParseChallenge(const QString &argument);

// Lower-case hexadecimal HMAC-SHA256 of the nonce, keyed with the password's
// derived key.
QString Answer(const QString &nonce, const QByteArray &key);

// Compares in a time that does not depend on where the texts differ.
bool SameAnswer(const QString &expected, const QString &received);

} // namespace RemoteProtocol
