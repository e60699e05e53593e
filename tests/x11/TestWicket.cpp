#include "TestEnv.h"

#include <BrowserHistory.h>
#include <RefusalPage.h>
#include <WicketSettings.h>
#include <frmMain.h>

#include <QApplication>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QWebEngineProfile>
#include <QWebEngineView>

// Wicket's windows on a loopback server that is two sites, "127.0.0.1" and
// "localhost". Its page "/" has rows of links 60 pixels high: same site, other
// site, script popup, new-tab link.
class TestWicket : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_server.listen(QHostAddress::LocalHost));
        connect(&m_server, &QTcpServer::newConnection, this, &TestWicket::serve);
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_env.path("share")));
        RefusalPage::installOn(&m_profile);
        QVERIFY(writeFile(m_env.path("wicket/start.html"), readFile(TestEnv::sourceFolder() + "wicket/start.html")));
    }

    void cleanup()
    {
        for (QWidget *window : QApplication::topLevelWidgets())
            if (qobject_cast<frmMain *>(window))
                window->close();
    }

    void linkInPage_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<int>("link");
        QTest::addColumn<QString>("lands");
        QTest::addColumn<int>("popups");
        QTest::newRow("popup, 0") << QByteArray("Allowpopup=0") << 2 << url("/b") << 0;
        QTest::newRow("new tab, 1") << QByteArray("Allowpopup=1") << 3 << url("/b") << 1;
        QTest::newRow("other site, stay on") << QByteArray("StayOnApprovedSites=1") << 1 << "wicket:refused" << 0;
    }

    void linkInPage()
    {
        QFETCH(QByteArray, settings);
        QFETCH(int, link);
        QFETCH(QString, lands);
        QFETCH(int, popups);
        frmMain *window = openOnSite(settings);
        QVERIFY(window);
        QStringList names;
        for (QAction *item : window->findChildren<QAction *>("link"))
            names.append(item->text());
        QCOMPARE(names, (QStringList{"Site", "Tom && Jerry"})); // in file order, up to a gap
        click(window, 0, Qt::RightButton);
        QTest::qWait(300);
        QVERIFY(!QApplication::activePopupWidget()); // pages have no context menu
        click(window, link);
        if (link >= 2)
            click(window, 0); // once this has loaded, the popup has been decided
        QWebEnginePage *page = window->page();
        QTRY_COMPARE(page->url().adjusted(QUrl::RemoveQuery).toString(), lands);
        QTRY_COMPARE(window->windowTitle(), link == 1 ? url("/b", "localhost") : url("/b"));
        QWidgetList opened = QApplication::topLevelWidgets();
        opened.removeIf([window](QWidget *w) { return !qobject_cast<frmMain *>(w) || w == window || !w->isVisible(); });
        QCOMPARE(opened.size(), popups);
        if (popups)
            QTRY_COMPARE(opened.first()->windowTitle(), url("/b"));
        if (page->url().scheme() == "wicket") {
            QTRY_VERIFY(!page->isLoading());
            page->runJavaScript("document.getElementById('back').click()");
            QTRY_COMPARE(page->url().toString(), url("/"));
        }
        QTRY_COMPARE(BrowserHistory().addresses().value(0), page->url().toString());
    }

    // A frame of another site in an approved page keeps to the approved sites too.
    void frames()
    {
        for (const bool stay : {true, false}) {
            frmMain *window = openOnSite(stay ? "StayOnApprovedSites=1" : "StayOnApprovedSites=0");
            QVERIFY(window);
            QSignalSpy loaded(window->page(), &QWebEnginePage::loadFinished);
            window->page()->load(QUrl(url("/frames")));
            QVERIFY(loaded.wait(10000)); // after the frames
            QCOMPARE(m_fetched.contains("/framed"), !stay);
        }
    }

private:
    void serve()
    {
        QTcpSocket *socket = m_server.nextPendingConnection();
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
            QByteArray path = socket->readAll().split(' ').value(1);
            m_fetched << QString::fromLatin1(path);
            if (path == "/frames")
                path = "<iframe src='" + url("/framed", "localhost").toLatin1() + "'></iframe>";
            const QByteArray links = "<style>body{margin:0}a{display:block;height:60px}</style><a href='/b'>a</a><a href='"
                + url("/b", "localhost").toLatin1() + "'>b</a><a href='#' onclick=\"window.open('/b');return false\">"
                "c</a><a href='/b' target='_blank'>d</a>";
            socket->write("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n" + (path == "/" ? links : path));
            socket->disconnectFromHost();
        });
    }

    QString url(const char *path, const char *host = "127.0.0.1") const
    {
        return QStringLiteral("http://%1:%2%3").arg(host).arg(m_server.serverPort()).arg(path);
    }

    // A window on its start page, then on the site's page "/" by its link,
    // once that page takes input (hovering a link tells).
    frmMain *openOnSite(const QByteArray &settings)
    {
        writeFile(m_env.path("wicket/links.ini"), "[LINK_000]\nNAME=Site\nURL=" + url("/").toLatin1()
                  + "\n[LINK_001]\nNAME=Tom & Jerry\nURL=t\n[LINK_003]\nNAME=Late\nURL=l\n");
        writeFile(m_env.path("wicket/settings.ini"), "[settings]\r\n" + settings + "\r\n");
        auto *window = new frmMain(WicketSettings::read(m_env.path("wicket")), &m_profile);
        window->show();
        QSignalSpy loaded(window->page(), &QWebEnginePage::loadFinished);
        window->ShowStartPage();
        if (!loaded.wait(20000) || window->page()->url().fileName() != "start.html")
            return nullptr;
        window->findChild<QAction *>("link")->trigger();
        if (!loaded.wait(10000) || window->windowTitle() != url("/"))
            return nullptr;
        QSignalSpy hovered(window->page(), &QWebEnginePage::linkHovered);
        for (int i = 0; i < 200 && hovered.isEmpty(); ++i) {
            QTest::mouseMove(window->findChild<QWebEngineView *>()->focusProxy(), QPoint(50, 30 + i % 2));
            QTest::qWait(50);
        }
        return hovered.isEmpty() ? nullptr : window;
    }

    void click(frmMain *window, int row, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(window->findChild<QWebEngineView *>()->focusProxy(), button, {}, {50, 30 + 60 * row});
    }

    TestEnv m_env;
    QTcpServer m_server;
    QStringList m_fetched;
    QWebEngineProfile m_profile;
};

int main(int argc, char *argv[])
{
    RefusalPage::registerScheme();
    QApplication app(argc, argv);
    TestWicket test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestWicket.moc"
