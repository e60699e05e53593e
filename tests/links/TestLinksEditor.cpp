// The Wicket links editor: links.ini read up to its first gap and rewritten
// without gaps, the address rule, and how the two dialogs end.
#include "FormControls.h"
#include "MenuTestKit.h"

#include "links/frmEditChildLinks.h"
#include "links/frmEditURL.h"

#include <QLineEdit>
#include <QTreeWidget>
#include <QtTest>

namespace {

const QByteArray threeLinks = "[LINK_000]\r\nNAME=Games\r\nURL=http://games.example/\r\n"
                              "[LINK_001]\r\nNAME=School\r\nURL=https://school.example/\r\n"
                              "[LINK_002]\r\nNAME=Zoo\r\nURL=http://zoo.example/\r\n";

// Answers the next frmEditURL that comes up.
void whenUrlDialogShows(std::function<void(frmEditURL &)> answer)
{
    QTimer::singleShot(0, [answer] {
        for (QWidget *window : QApplication::topLevelWidgets())
            if (auto *dialog = qobject_cast<frmEditURL *>(window); dialog && dialog->isVisible())
                return answer(*dialog);
        QFAIL("no Edit URL dialog");
    });
}

} // namespace

class TestLinksEditor : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_world = std::make_unique<MenuWorld>();
        m_path = m_world->env.path(QStringLiteral("wicket/links.ini"));
        QVERIFY(writeFile(m_path, threeLinks));
    }
    void cleanup() { m_world.reset(); }

    void aGapEndsTheList()
    {
        QVERIFY(writeFile(m_path, QByteArray(threeLinks).replace("NAME=School", "NAME=")));
        QCOMPARE(LinksFile::Load(m_path), QList<ChildLink>({{"Games", "http://games.example/"}}));
    }

    void schemeRule_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("none") << " kids.example/a " << "http://kids.example/a";
        QTest::newRow("http in capitals") << "HTTP://Kids.example" << "HTTP://Kids.example";
        QTest::newRow("https") << "https://kids.example" << "https://kids.example";
        QTest::newRow("other scheme") << "mailto:gran@example.org" << "mailto:gran@example.org";
        QTest::newRow("host and port") << "localhost:8080/x" << "http://localhost:8080/x";
    }

    void schemeRule()
    {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        QCOMPARE(LinksFile::CompleteUrl(typed), stored);
    }

    void addAndEdit()
    {
        frmEditChildLinks editor(m_path);
        whenUrlDialogShows([](frmEditURL &dialog) {
            Control<QLineEdit>(&dialog, "Text2")->setText(QStringLiteral("news.example"));
            Click(&dialog, "Command2"); // no name yet: stays
            QVERIFY(dialog.isVisible());
            Control<QLineEdit>(&dialog, "Text1")->setText(QStringLiteral("News"));
            Click(&dialog, "Command2");
        });
        Click(&editor, "Command1");
        QCOMPARE(m_world->dialogs->shown().first().text, QStringLiteral("Please enter URL name!"));
        QCOMPARE(editor.Links().last(), ChildLink({"News", "http://news.example"}));
        QCOMPARE(list(editor)->currentItem(), list(editor)->topLevelItem(3));
        QVERIFY(editor.Changed());

        // Cancel and Esc in the URL dialog change nothing.
        const QList<ChildLink> before = editor.Links();
        for (bool escape : {false, true}) {
            whenUrlDialogShows([escape](frmEditURL &dialog) {
                Control<QLineEdit>(&dialog, "Text1")->setText(QStringLiteral("Changed"));
                if (escape)
                    QTest::keyClick(Control<QLineEdit>(&dialog, "Text1"), Qt::Key_Escape);
                else
                    Click(&dialog, "Command1");
            });
            Click(&editor, "Command2");
            QCOMPARE(editor.Links(), before);
        }
    }

    // Removing the first link, then ending the editor; what is saved is
    // numbered again from LINK_000.
    void closing_data()
    {
        QTest::addColumn<QString>("how");      // "ok", "escape", or the answer to "Save changes?"
        QTest::addColumn<bool>("stays");
        QTest::addColumn<bool>("saved");
        QTest::newRow("OK saves") << "ok" << false << true;
        QTest::newRow("Esc never asks") << "escape" << false << false;
        QTest::newRow("close box, Cancel") << "Cancel" << true << false;
        QTest::newRow("close box, No") << "No" << false << false;
        QTest::newRow("close box, Yes") << "Yes" << false << true;
    }

    void closing()
    {
        QFETCH(QString, how);
        QFETCH(bool, stays);
        QFETCH(bool, saved);
        frmEditChildLinks editor(m_path);
        editor.show();
        list(editor)->setCurrentItem(list(editor)->topLevelItem(0));
        m_world->dialogs->answer(QStringLiteral("OK"));
        Click(&editor, "Command3");
        QCOMPARE(m_world->dialogs->shown().first().text, QStringLiteral("Remove item:Games ?"));
        const bool asks = how != QLatin1String("ok") && how != QLatin1String("escape");
        if (how == QLatin1String("ok")) {
            Click(&editor, "Command5");
        } else if (how == QLatin1String("escape")) {
            QTest::keyClick(list(editor), Qt::Key_Escape);
        } else {
            m_world->dialogs->answer(how);
            editor.close();
            QCOMPARE(m_world->dialogs->shown().last().text, QStringLiteral("Save changes?"));
        }
        QCOMPARE(m_world->dialogs->shown().size(), asks ? 2 : 1);
        QCOMPARE(editor.isVisible(), stays);
        const QList<ChildLink> all{
            {"Games", "http://games.example/"}, {"School", "https://school.example/"}, {"Zoo", "http://zoo.example/"}};
        QCOMPARE(LinksFile::Load(m_path), saved ? all.mid(1) : all);
        QCOMPARE(editor.Saved(), saved);
    }

private:
    static QTreeWidget *list(const frmEditChildLinks &editor) { return Control<QTreeWidget>(&editor, "ListView1"); }

    std::unique_ptr<MenuWorld> m_world;
    QString m_path;
};

QTEST_MAIN(TestLinksEditor)
#include "TestLinksEditor.moc"
