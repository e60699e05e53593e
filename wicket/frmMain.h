#pragma once

#include "WicketSettings.h"

#include <BrowserHistory.h>

#include <QMainWindow>
#include <QWebEnginePage>

class QMenu;
class QWebEngineNewWindowRequest;
class QWebEngineProfile;
class QWebEngineView;
class StatusLine;
class WicketPage;

// The browser window: no address bar, only the "START" menu of the approved
// links, the page, and the status line. Popup windows the page asks for open
// in another window of this kind when the parent allows them.
class frmMain : public QMainWindow
{
    Q_OBJECT

public:
    frmMain(const WicketSettings &settings, QWebEngineProfile *profile, QWidget *parent = nullptr);

    QWebEnginePage *page() const;
    void ShowStartPage();
    void LoadMenu();

private slots:
    void OnLinkChosen();
    void OnNavigationStarting(const QUrl &url);
    void OnUrlChanged(const QUrl &url);
    void OnLinkHovered(const QString &url);
    void OnLoadProgress(int progress);
    void OnLoadFinished(bool ok);
    void OnNewWindowRequested(QWebEngineNewWindowRequest &request);
    void OnDownloadRefused();
    void OnPageStopped(QWebEnginePage::RenderProcessTerminationStatus status);
    void OnStatusMessage(const QString &text);

private:
    WicketSettings m_settings;
    QWebEngineProfile *m_profile;
    QWebEngineView *m_view;
    WicketPage *m_page; // owned by the view
    QMenu *m_menu;
    StatusLine *m_status;
    QString m_loadStatus; // what the status line shows when no link is hovered
    BrowserHistory m_history;
};
