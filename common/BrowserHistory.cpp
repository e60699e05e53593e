#include "BrowserHistory.h"

#include "AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringDecoder>

namespace {

// Longer addresses are of no use for completion; a bigger file is not ours.
constexpr int MaxAddressLength = 2048;
constexpr qint64 MaxFileSize = 2 * 1024 * 1024;

bool isWebAddress(const QString &text)
{
    const QUrl url(text, QUrl::StrictMode);
    return url.isValid() && !url.host().isEmpty()
        && (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"));
}

} // namespace

QString BrowserHistory::defaultPath()
{
    QString base = QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME"));
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return base + QStringLiteral("/Brindle/wicket-history.txt");
}

BrowserHistory::BrowserHistory(const QString &path)
    : m_path(path)
{
}

QStringList BrowserHistory::addresses() const
{
    QFile file(m_path);
    if (file.size() > MaxFileSize || !file.open(QIODevice::ReadOnly))
        return {};
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(file.readAll());
    if (decoder.hasError())
        return {};
    QStringList result;
    for (QString line : text.split(QLatin1Char('\n'))) {
        line = line.trimmed();
        if (result.size() < MaxEntries && line.size() <= MaxAddressLength && isWebAddress(line)
            && !result.contains(line))
            result.append(line);
    }
    return result;
}

bool BrowserHistory::add(const QUrl &address, QString *error)
{
    // No passwords in the history; the encoded form has no line breaks.
    const QString entry = address.adjusted(QUrl::RemoveUserInfo).toString(QUrl::FullyEncoded);
    if (entry.size() > MaxAddressLength || !isWebAddress(entry))
        return false;
    QStringList list = addresses();
    list.removeAll(entry);
    list.prepend(entry);
    while (list.size() > MaxEntries)
        list.removeLast();
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    return AtomicFile::write(m_path, (list.join(QLatin1String("\r\n")) + QLatin1String("\r\n")).toUtf8(), error);
}
