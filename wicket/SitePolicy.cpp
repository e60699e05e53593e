#include "SitePolicy.h"

#include <QHostAddress>

namespace {

bool isWeb(const QUrl &url)
{
    return url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
}

QUrl pageOf(const QUrl &url)
{
    return url.adjusted(QUrl::RemoveQuery | QUrl::RemoveFragment | QUrl::NormalizePathSegments);
}

} // namespace

SitePolicy::SitePolicy(bool stayOnApprovedSites, const QList<QUrl> &approvedLinks,
                       const QList<QUrl> &localPages)
    : m_stayOnApprovedSites(stayOnApprovedSites)
{
    for (const QUrl &link : approvedLinks) {
        if (!link.isValid())
            continue;
        m_pages.append(pageOf(link));
        QString host = hostOf(link);
        if (!isWeb(link) || host.isEmpty())
            continue;
        if (host.startsWith(QLatin1String("www.")) && host.count(QLatin1Char('.')) > 1)
            host.remove(0, 4);
        if (!m_hosts.contains(host))
            m_hosts.append(host);
    }
    for (const QUrl &page : localPages)
        m_pages.append(pageOf(page));
}

// The host in its ASCII form, lower case and without a trailing dot, so that
// one host has one spelling.
QString SitePolicy::hostOf(const QUrl &url)
{
    QString host = url.host(QUrl::FullyEncoded).toLower();
    while (host.endsWith(QLatin1Char('.')))
        host.chop(1);
    return host;
}

bool SitePolicy::allows(const QUrl &url) const
{
    if (!m_stayOnApprovedSites)
        return true;
    if (!url.isValid())
        return false;
    if (url.toString() == QLatin1String("about:blank") || m_pages.contains(pageOf(url)))
        return true;
    if (!isWeb(url))
        return false;
    const QString host = hostOf(url);
    if (host.isEmpty())
        return false;
    const bool isAddress = !QHostAddress(host).isNull();
    for (const QString &approved : m_hosts) {
        if (host == approved)
            return true;
        if (!isAddress && QHostAddress(approved).isNull()
            && host.endsWith(QLatin1Char('.') + approved))
            return true;
    }
    return false;
}
