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
//   - numbers, the "!" of the greeting, and the hexadecimal "/pw#" challenge
//     and "/au" answer contain no slash at all;
//   - the "/bl" list is free text (button captions may hold "/sl" or any
//     other word), but it is made of CR LF-ended lines that each begin with a
//     decimal index, and the shell turns line breaks inside captions into
//     blanks. Inside a list a new message can therefore begin only right
//     after the word "/bl" or at the start of a line, never in a caption.
// A list line cut by TCP is held back until its CR LF arrives; list lines
// that arrive in a later read are handed on as a continuation of the list.
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
    QList<Message> Feed(const QByteArray &chunk);
    void Reset();

private:
    QString m_held;        // a list whose last line has not ended yet
    bool m_inList = false; // the last message handed on was a list
};

// 32 hexadecimal digits from the system's cryptographic random source.
QString NewChallenge();

// Lower-case hexadecimal HMAC-SHA256 of the challenge text, keyed with the
// password in lower case (both in Windows-1252).
QString Answer(const QString &challenge, const QString &password);

// Compares in a time that does not depend on where the texts differ.
bool SameAnswer(const QString &expected, const QString &received);

} // namespace RemoteProtocol
