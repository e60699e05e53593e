#pragma once

#include <QWebEngineUrlSchemeHandler>

class QWebEngineProfile;

// The browser's own pages under the scheme "wicket:": "wicket:refused" tells
// the child that an address is not on the list, and its button leads to
// "wicket:back", which the page object turns into going back.
class RefusalPage : public QWebEngineUrlSchemeHandler
{
    Q_OBJECT

public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;

    static const QByteArray Scheme;

    // Must run before the application object is made.
    static void registerScheme();
    // Serves the pages for every page of the profile, as long as it lives.
    static void installOn(QWebEngineProfile *profile);

    static QUrl urlFor(const QUrl &refused);
    static QUrl pageUrl();
    static QUrl backUrl();

    void requestStarted(QWebEngineUrlRequestJob *job) override;
};
