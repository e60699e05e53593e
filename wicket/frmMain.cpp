#include "frmMain.h"

#include "RefusalPage.h"
#include "StatusLine.h"
#include "WicketPage.h"

#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QVBoxLayout>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineView>

#include <cstdio>

frmMain::frmMain(const WicketSettings &settings, QWebEngineProfile *profile, QWidget *parent)
    : QMainWindow(parent)
    , m_settings(settings)
    , m_profile(profile)
    , m_view(new QWebEngineView(this))
    , m_page(new WicketPage(profile,
                            SitePolicy(settings.stayOnApprovedSites, settings.linkUrls(),
                                       {settings.startPage(), RefusalPage::pageUrl()}),
                            settings.startPage(), m_view))
    , m_menu(menuBar()->addMenu(tr("START")))
    , m_status(new StatusLine(this))
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(tr("Brindle Internet Links"));
    setAttribute(Qt::WA_DeleteOnClose);

    m_menu->setObjectName(QStringLiteral("mnu"));
    QFont menuFont = menuBar()->font();
    menuFont.setPointSizeF(menuFont.pointSizeF() * 1.25);
    menuFont.setBold(true);
    menuBar()->setFont(menuFont);
    m_menu->setFont(menuFont);

    m_view->setObjectName(QStringLiteral("WebBrowser1"));
    m_view->setPage(m_page);
    m_view->setContextMenuPolicy(Qt::NoContextMenu);
    // Alt+Left and Alt+Right go back and forward, as in other browsers.
    for (auto action : {QWebEnginePage::Back, QWebEnginePage::Forward}) {
        QAction *item = m_view->pageAction(action);
        item->setShortcut(action == QWebEnginePage::Back ? QKeySequence::Back : QKeySequence::Forward);
        addAction(item);
    }

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_status);
    setCentralWidget(central);

    connect(m_page, &WicketPage::navigationStarting, this, &frmMain::OnNavigationStarting);
    connect(m_page, &WicketPage::downloadRefused, this, &frmMain::OnDownloadRefused);
    connect(m_page, &QWebEnginePage::urlChanged, this, &frmMain::OnUrlChanged);
    connect(m_page, &QWebEnginePage::linkHovered, this, &frmMain::OnLinkHovered);
    connect(m_page, &QWebEnginePage::loadProgress, this, &frmMain::OnLoadProgress);
    connect(m_page, &QWebEnginePage::loadFinished, this, &frmMain::OnLoadFinished);
    connect(m_page, &QWebEnginePage::newWindowRequested, this, &frmMain::OnNewWindowRequested);
    connect(m_page, &QWebEnginePage::windowCloseRequested, this, &QWidget::close);
    connect(m_page, &QWebEnginePage::renderProcessTerminated, this, &frmMain::OnPageStopped);

    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    resize(qMin(1100, screen.width() * 9 / 10), qMin(800, screen.height() * 9 / 10));
    move(screen.center() - rect().center());

    LoadMenu();
}

QWebEnginePage *frmMain::page() const
{
    return m_page;
}

void frmMain::ShowStartPage()
{
    m_view->load(m_settings.startPage());
}

void frmMain::LoadMenu()
{
    m_menu->clear();
    for (const WicketSettings::Link &link : std::as_const(m_settings.links)) {
        QString caption = link.name;
        QAction *item = m_menu->addAction(caption.replace(QLatin1Char('&'), QLatin1String("&&")));
        item->setObjectName(QStringLiteral("link"));
        item->setData(link.url);
        connect(item, &QAction::triggered, this, &frmMain::OnLinkChosen);
    }
    if (m_settings.links.isEmpty()) {
        QAction *none = m_menu->addAction(tr("No links yet"));
        none->setObjectName(QStringLiteral("noLinks"));
        none->setEnabled(false);
    }
}

void frmMain::OnLinkChosen()
{
    if (auto *item = qobject_cast<QAction *>(sender()))
        m_view->load(QUrl::fromUserInput(item->data().toString()));
}

void frmMain::OnNavigationStarting(const QUrl &url)
{
    setWindowTitle(url.toDisplayString());
    m_loadStatus = tr("Opening %1 ...").arg(url.toDisplayString());
    m_status->setText(m_loadStatus);
}

// Moves within a page (anchors, script history) are navigations too.
void frmMain::OnUrlChanged(const QUrl &url)
{
    if (!url.isEmpty() && url.scheme() != QLatin1String(RefusalPage::Scheme))
        setWindowTitle(url.toDisplayString());
}

void frmMain::OnLinkHovered(const QString &url)
{
    const bool ours = url.startsWith(QLatin1String(RefusalPage::Scheme) + QLatin1Char(':'));
    m_status->setText(url.isEmpty() || ours ? m_loadStatus : url);
}

void frmMain::OnLoadProgress(int progress)
{
    m_status->setProgress(progress);
}

void frmMain::OnLoadFinished(bool ok)
{
    m_status->setProgress(-1);
    m_loadStatus = ok ? tr("Done") : tr("This page could not be opened.");
    m_status->setText(m_loadStatus);
    QString why;
    // The page is shown all the same; only its address is missing from the links editor's list.
    if (ok && !m_history.add(m_page->url(), &why) && !why.isEmpty())
        std::fprintf(stderr, "wicket: %s\n", qPrintable(why));
}

void frmMain::OnNewWindowRequested(QWebEngineNewWindowRequest &request)
{
    if (!m_settings.popupsAllowed) {
        OnStatusMessage(tr("A popup window was blocked."));
        return; // not taken up: the popup opens nowhere
    }
    auto *popup = new frmMain(m_settings, m_profile);
    popup->show();
    request.openIn(popup->page());
}

// The page stays where it was, and so does the caption.
void frmMain::OnDownloadRefused()
{
    setWindowTitle(m_page->url().toDisplayString());
    OnStatusMessage(tr("Downloads are not allowed."));
}

// The engine leaves an empty page behind; say what happened and how to go on.
void frmMain::OnPageStopped(QWebEnginePage::RenderProcessTerminationStatus status)
{
    if (status != QWebEnginePage::NormalTerminationStatus)
        OnStatusMessage(tr("This page stopped working. Choose a link from START to go on."));
}

void frmMain::OnStatusMessage(const QString &text)
{
    m_loadStatus = text;
    m_status->setText(text);
}
