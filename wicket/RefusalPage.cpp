#include "RefusalPage.h"

#include <QBuffer>
#include <QFile>
#include <QUrlQuery>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

// The page lives in the resources of a static library, which must be
// pulled in by hand.
static void initResources()
{
    Q_INIT_RESOURCE(wicket);
}

const QByteArray RefusalPage::Scheme = QByteArrayLiteral("wicket");

void RefusalPage::registerScheme()
{
    QWebEngineUrlScheme scheme(Scheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
    // Web pages cannot link to it; only the browser itself opens it.
    scheme.setFlags(QWebEngineUrlScheme::SecureScheme | QWebEngineUrlScheme::LocalScheme);
    QWebEngineUrlScheme::registerScheme(scheme);
}

void RefusalPage::installOn(QWebEngineProfile *profile)
{
    initResources();
    profile->installUrlSchemeHandler(Scheme, new RefusalPage(profile));
}

QUrl RefusalPage::pageUrl()
{
    return QUrl(QStringLiteral("wicket:refused"));
}

QUrl RefusalPage::backUrl()
{
    return QUrl(QStringLiteral("wicket:back"));
}

QUrl RefusalPage::urlFor(const QUrl &refused)
{
    QUrl url = pageUrl();
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("address"),
                       QString::fromLatin1(QUrl::toPercentEncoding(refused.toString(QUrl::FullyEncoded))));
    url.setQuery(query);
    return url;
}

void RefusalPage::requestStarted(QWebEngineUrlRequestJob *job)
{
    const QUrl url = job->requestUrl();
    if (url.adjusted(QUrl::RemoveQuery) != pageUrl()) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    QFile file(QStringLiteral(":/wicket/refused.html"));
    if (!file.open(QIODevice::ReadOnly)) {
        job->fail(QWebEngineUrlRequestJob::RequestFailed);
        return;
    }
    const QString encoded = QUrlQuery(url).queryItemValue(QStringLiteral("address"), QUrl::FullyDecoded);
    const QString address = QUrl::fromEncoded(encoded.toLatin1()).toDisplayString();
    QString html = QString::fromUtf8(file.readAll());
    html.replace(QLatin1String("@ADDRESS@"), address.toHtmlEscaped());
    html.replace(QLatin1String("@BACK@"), backUrl().toString());

    auto *buffer = new QBuffer(job);
    buffer->setData(html.toUtf8());
    job->reply(QByteArrayLiteral("text/html"), buffer);
}
