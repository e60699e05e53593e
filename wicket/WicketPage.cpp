#include "WicketPage.h"

#include "RefusalPage.h"

#include <QTimer>
#include <QWebEngineDownloadRequest>
#include <QWebEngineFullScreenRequest>
#include <QWebEngineHistory>
#include <QWebEngineProfile>

WicketPage::WicketPage(QWebEngineProfile *profile, const SitePolicy &policy, const QUrl &startPage,
                       QObject *parent)
    : QWebEnginePage(profile, parent)
    , m_policy(policy)
    , m_startPage(startPage)
{
    connect(profile, &QWebEngineProfile::downloadRequested, this, &WicketPage::refuseDownload);
    connect(this, &QWebEnginePage::featurePermissionRequested, this, &WicketPage::refusePermission);
    connect(this, &QWebEnginePage::fullScreenRequested, this,
            [](QWebEngineFullScreenRequest request) { request.reject(); });
}

bool WicketPage::acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame)
{
    Q_UNUSED(type)
    // A frame of an approved page (a player, a widget, an advert) keeps to
    // the approved sites as the page does; a refused one stays as it was.
    // A frame's inline content (srcdoc) is part of the page itself.
    if (!isMainFrame)
        return url == QUrl(QStringLiteral("about:srcdoc")) || m_policy.allows(url);
    if (url == RefusalPage::backUrl()) {
        QTimer::singleShot(0, this, &WicketPage::goBack);
        return false;
    }
    if (url.scheme() != QLatin1String(RefusalPage::Scheme))
        emit navigationStarting(url);
    if (m_policy.allows(url))
        return true;
    // Not from inside the engine's own decision.
    const QUrl refusal = RefusalPage::urlFor(url);
    QTimer::singleShot(0, this, [this, refusal] { load(refusal); });
    return false;
}

QStringList WicketPage::chooseFiles(FileSelectionMode, const QStringList &, const QStringList &)
{
    return {}; // a file dialog would let the child roam the disk
}

void WicketPage::refuseDownload(QWebEngineDownloadRequest *download)
{
    if (download->page() != this)
        return;
    download->cancel();
    emit downloadRefused();
}

void WicketPage::refusePermission(const QUrl &securityOrigin, QWebEnginePage::Feature feature)
{
    setFeaturePermission(securityOrigin, feature, PermissionDeniedByUser);
}

void WicketPage::goBack()
{
    if (history()->canGoBack())
        triggerAction(Back);
    else
        load(m_startPage);
}
