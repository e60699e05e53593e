#pragma once

#include "SitePolicy.h"

#include <QWebEnginePage>

class QWebEngineDownloadRequest;

// A web page that keeps the child inside the browser: the navigations of
// every frame pass the site policy (a refused one of the main frame shows the
// refusal page instead), and
// file choosers, downloads, full-screen requests and the requests for camera,
// microphone, location and the like are all turned down.
class WicketPage : public QWebEnginePage
{
    Q_OBJECT

public:
    WicketPage(QWebEngineProfile *profile, const SitePolicy &policy, const QUrl &startPage,
               QObject *parent = nullptr);

signals:
    // A main-frame navigation is about to start (also one that is refused).
    void navigationStarting(const QUrl &url);
    // An address turned out to be a download, which was refused.
    void downloadRefused();

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;
    QStringList chooseFiles(FileSelectionMode mode, const QStringList &oldFiles,
                            const QStringList &acceptedMimeTypes) override;

private slots:
    void refuseDownload(QWebEngineDownloadRequest *download);
    void refusePermission(const QUrl &securityOrigin, QWebEnginePage::Feature feature);

private:
    void goBack();

    SitePolicy m_policy;
    QUrl m_startPage;
};
