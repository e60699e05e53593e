#include <SitePolicy.h>

#include <QTest>

class TestSitePolicy : public QObject
{
    Q_OBJECT

private slots:
    void allows_data()
    {
        QTest::addColumn<bool>("stay");
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("allowed");
        const QString kids = "http://kids.example/games";
        QTest::newRow("choice off: anywhere") << false << kids << "http://other.example/" << true;
        QTest::newRow("approved host, other page") << true << kids << "https://kids.example/x?y=1#z" << true;
        QTest::newRow("sub-domain") << true << kids << "http://play.kids.example/" << true;
        QTest::newRow("host spelling") << true << kids << "http://KIDS.Example./" << true;
        QTest::newRow("www. of a link optional") << true << "https://www.kids.example/" << "https://kids.example/" << true;
        QTest::newRow("same ending, other site") << true << kids << "http://badkids.example/" << false;
        QTest::newRow("approved host as user name") << true << kids << "http://kids.example@bad.example/" << false;
        QTest::newRow("parent domain") << true << "http://play.kids.example/" << "http://kids.example/" << false;
        QTest::newRow("no links") << true << QString() << "http://kids.example/" << false;
        QTest::newRow("other address") << true << "http://127.0.0.1:8080/" << "http://127.0.0.2:8080/" << false;
        QTest::newRow("start page") << true << kids << "file:///opt/brindle/wicket/start.html" << true;
        QTest::newRow("other local file") << true << kids << "file:///etc/passwd" << false;
    }

    void allows()
    {
        QFETCH(bool, stay);
        QFETCH(QString, link);
        QFETCH(QString, address);
        QFETCH(bool, allowed);
        const SitePolicy policy(stay, {QUrl(link)}, {QUrl("file:///opt/brindle/wicket/start.html")});
        QCOMPARE(policy.allows(QUrl(address)), allowed);
    }
};

QTEST_GUILESS_MAIN(TestSitePolicy)
#include "TestSitePolicy.moc"
