#include "RemoteProtocol.h"

#include "Cp1252.h"

#include <QMessageAuthenticationCode>
#include <QRandomGenerator>
#include <QRegularExpression>

namespace {

const char *const kWords[] = {"/we", "/tm", "/bl", "/pw", "/sl", "/sp", "/rt", "/ex", "/sd",
                              "/ok", "/er", "/au", "/xt", "/lk", "/td"};

bool knownAt(const QString &s, qsizetype at)
{
    if (at + 3 > s.size() || s.at(at) != QLatin1Char('/'))
        return false;
    const QString word = s.mid(at, 3).toLower();
    for (const char *known : kWords) {
        if (word == QLatin1String(known))
            return true;
    }
    return false;
}

// Where the next message begins after the one that begins at start.
qsizetype nextStart(const QString &s, qsizetype start, bool list)
{
    if (!list) {
        for (qsizetype p = s.indexOf(QLatin1Char('/'), start + 1); p >= 0;
             p = s.indexOf(QLatin1Char('/'), p + 1)) {
            if (knownAt(s, p))
                return p;
        }
        return s.size();
    }
    // A list: right after its word, or where a line begins.
    if (knownAt(s, start) && knownAt(s, start + 3))
        return start + 3;
    for (qsizetype p = s.indexOf(QLatin1Char('\n'), start); p >= 0;
         p = s.indexOf(QLatin1Char('\n'), p + 1)) {
        if (knownAt(s, p + 1))
            return p + 1;
    }
    return s.size();
}

// The length of the end of s, from `from` on, that may be a command word cut
// short by TCP ("/" or "/s"); 0 when there is none.
qsizetype cutWordAtEnd(const QString &s, qsizetype from)
{
    for (qsizetype k = 2; k >= 1; --k) {
        if (s.size() - k < from)
            continue;
        const QString tail = s.right(k).toLower();
        for (const char *known : kWords) {
            if (QLatin1String(known).startsWith(tail))
                return k;
        }
    }
    return 0;
}

} // namespace

namespace RemoteProtocol {

quint16 ShellPort()
{
    bool ok = false;
    const uint port = qEnvironmentVariable("BRINDLE_PORT").trimmed().toUInt(&ok);
    return ok && port >= 1 && port <= 65535 ? quint16(port) : DefaultPort;
}

HostPort ParseHost(const QString &text)
{
    HostPort result;
    const QString t = text.trimmed();
    QString portText;
    if (t.startsWith(QLatin1Char('['))) {
        const qsizetype close = t.indexOf(QLatin1Char(']'));
        const QString rest = close < 0 ? QString() : t.mid(close + 1);
        if (close < 0 || (!rest.isEmpty() && !rest.startsWith(QLatin1Char(':'))))
            return result;
        result.host = t.mid(1, close - 1);
        if (!rest.isEmpty())
            portText = rest.mid(1);
    } else if (t.count(QLatin1Char(':')) == 1) {
        result.host = t.section(QLatin1Char(':'), 0, 0);
        portText = t.section(QLatin1Char(':'), 1);
    } else {
        result.host = t; // a name, an IPv4 address or a bare IPv6 address
    }
    if (!portText.isNull()) {
        bool ok = false;
        const uint port = portText.toUInt(&ok);
        if (!ok || port < 1 || port > 65535)
            return result;
        result.port = quint16(port);
    }
    result.ok = !result.host.isEmpty() && !result.host.contains(QLatin1Char(' '));
    return result;
}

QString Word(const QString &message)
{
    return knownAt(message, 0) ? message.left(3).toLower() : QString();
}

QString Argument(const QString &message)
{
    return message.mid(3);
}

QList<Message> Reader::Feed(const QByteArray &chunk)
{
    const bool resumed = !m_held.isEmpty();
    const QString s = std::exchange(m_held, QString()) + std::exchange(m_cutWord, QString()) + Cp1252::decode(chunk);

    QList<Message> messages;
    qsizetype start = 0;
    while (start < s.size()) {
        const bool continuation = start == 0 && !knownAt(s, 0) && (resumed || m_inList);
        const bool list = m_holdLimit > 0 && (continuation || Word(s.mid(start, 3)) == QLatin1String("/bl"));
        const qsizetype end = nextStart(s, start, list);
        QString text = s.mid(start, end - start);
        if (!list && end == s.size()) {
            // Messages sent back to back may be cut anywhere; a word cut
            // short waits for the rest.
            const qsizetype cut = cutWordAtEnd(s, start);
            m_cutWord = s.right(cut);
            text.chop(cut);
            if (text.isEmpty())
                break;
        }
        const bool lineOpen = list && end == s.size() && !text.endsWith(QLatin1Char('\n'))
                              && (continuation || text.size() > 3);
        if (lineOpen && text.size() < m_holdLimit) {
            m_held = text;
            break;
        }
        messages.append({text, continuation});
        m_inList = list;
        start = end;
    }
    return messages;
}

void Reader::Reset()
{
    m_held.clear();
    m_cutWord.clear();
    m_inList = false;
}

QString NewNonce()
{
    quint32 words[4];
    QRandomGenerator::system()->fillRange(words);
    return QString::fromLatin1(
        QByteArray(reinterpret_cast<const char *>(words), sizeof(words)).toHex());
}

QString ChallengeMessage(const QString &nonce, const QByteArray &salt, int iterations)
{
    return QStringLiteral("/pw#%1#%2#%3").arg(nonce, QString::fromLatin1(salt.toHex())).arg(iterations);
}

Challenge ParseChallenge(const QString &argument)
{
    static const QRegularExpression form(QStringLiteral("^#([0-9a-f]{32})#((?:[0-9a-f]{2})+)#([0-9]{1,9})$"));
    const QRegularExpressionMatch match = form.match(argument);
    if (!match.hasMatch())
        return {};
    return {match.captured(1), QByteArray::fromHex(match.captured(2).toLatin1()), match.captured(3).toInt(), true};
}

QString Answer(const QString &nonce, const QByteArray &key)
{
    const QByteArray mac =
        QMessageAuthenticationCode::hash(nonce.toLatin1(), key, QCryptographicHash::Sha256);
    return QString::fromLatin1(mac.toHex());
}

bool SameAnswer(const QString &expected, const QString &received)
{
    const QByteArray a = Cp1252::encode(expected);
    const QByteArray b = Cp1252::encode(received);
    unsigned char difference = a.size() == b.size() ? 0 : 1;
    for (qsizetype i = 0; i < a.size(); ++i)
        difference |= static_cast<unsigned char>(a.at(i) ^ (i < b.size() ? b.at(i) : 0));
    return difference == 0 && !a.isEmpty();
}

} // namespace RemoteProtocol
