#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

// Decides which addresses the browser may open. Without the parent's choice
// "Stay on the approved sites" every address may be opened. With it: the
// browser's own local pages, the approved links themselves, and http/https
// pages whose host is an approved link's host or a sub-domain of it. A leading
// "www." of an approved host is not needed (sites commonly redirect
// www.example.org to example.org). Hosts given as IP addresses match exactly.
class SitePolicy
{
public:
    SitePolicy(bool stayOnApprovedSites, const QList<QUrl> &approvedLinks, const QList<QUrl> &localPages);

    bool allows(const QUrl &url) const;

private:
    static QString hostOf(const QUrl &url);

    bool m_stayOnApprovedSites;
    QStringList m_hosts;
    QList<QUrl> m_pages; // approved links and local pages, without query and fragment
};
