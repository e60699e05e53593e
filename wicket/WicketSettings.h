#pragma once

#include <QList>
#include <QString>
#include <QUrl>

// What the browser reads once at start from its program folder: the approved
// links of links.ini (sections LINK_000, LINK_001, ... up to the first one
// without a name) and the parent's choices in section "settings" of
// settings.ini.
struct WicketSettings
{
    struct Link {
        QString name;
        QString url;
    };

    static WicketSettings read(const QString &programFolder);

    QUrl startPage() const;
    QList<QUrl> linkUrls() const;

    QString programFolder; // ends in "/"
    QList<Link> links;
    bool popupsAllowed = false;
    bool stayOnApprovedSites = false;
};
