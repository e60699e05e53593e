// The time-expired and password dialogs, driven through their buttons and
// keys, and PasswordOK built on the prompts they answer.
#include "DialogDriver.h"
#include "PlayTimeWorld.h"
#include "ScriptedPrompts.h"

#include <QDir>
#include <QLineEdit>
#include <QtTest>

using namespace playtimetest;

Q_DECLARE_METATYPE(std::optional<QString>)

namespace {

// With BRINDLE_SCREENSHOTS set, the dialogs are saved there for people to look at.
void keepScreenshot(const QPixmap &picture, const QString &name)
{
    const QString folder = QString::fromLocal8Bit(qgetenv("BRINDLE_SCREENSHOTS"));
    if (!folder.isEmpty() && QDir().mkpath(folder))
        picture.save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
}

} // namespace

class TestPlayTimeDialogs : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_world = std::make_unique<PlayTimeWorld>(); }
    void cleanup() { m_world.reset(); }

    void expiredDialogAnswers_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("shutdown");

        QTest::newRow("Enter acts as Reset...") << QStringList{"enter:Pass Word"} << "Pass Word" << false;
        QTest::newRow("Reset... button") << QStringList{"reset:pw"} << "pw" << false;
        QTest::newRow("Reset... with nothing typed") << QStringList{"reset:"} << "" << false;
        QTest::newRow("shut-down button drops the typed text") << QStringList{"shutdown:typed"} << "" << true;
    }

    void expiredDialogAnswers()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, text);
        QFETCH(bool, shutdown);

        DialogDriver driver(steps);
        const std::optional<Prompts::ExpiredAnswer> answer = frmTimeExpired::Ask();
        QCOMPARE(driver.unexpected, 0);
        QCOMPARE(driver.shown, 1);
        QVERIFY(answer);
        QCOMPARE(answer->password, text);
        QCOMPARE(answer->shutDown, shutdown);
        QVERIFY(!frmTimeExpired::Current());
        QCOMPARE(m_world->windows->topMost, QStringList{QStringLiteral("frmTimeExpired")});
    }

    void expiredDialogIgnoresEscapeAndClose()
    {
        frmTimeExpired dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        // What is typed never shows.
        QTest::keyClicks(dialog.Text1, QStringLiteral("abc"));
        QCOMPARE(dialog.Text1->displayText(), QStringLiteral("***"));
        keepScreenshot(dialog.grab(), QStringLiteral("frmTimeExpired"));
        QTest::keyClick(dialog.Text1, Qt::Key_Escape);
        QVERIFY(dialog.isVisible());
        QVERIFY(!dialog.close());
        QVERIFY(dialog.isVisible());
    }

    void expiredDialogReleasedFromAfarIsTheParentsReset()
    {
        // The remote console fills in the parent password and closes it.
        QTimer::singleShot(0, [] {
            if (frmTimeExpired *dialog = frmTimeExpired::Current()) {
                dialog->ReleaseWithPassword(QStringLiteral("mum"));
                dialog->close();
            }
        });
        const std::optional<Prompts::ExpiredAnswer> answer = frmTimeExpired::Ask();
        QVERIFY(answer);
        QVERIFY(!answer->shutDown);
        QCOMPARE(answer->password, QStringLiteral("mum"));
    }

    void passwordDialogAnswers_data()
    {
        QTest::addColumn<QString>("step");
        QTest::addColumn<QString>("title");
        QTest::addColumn<std::optional<QString>>("answer");

        QTest::newRow("OK button") << "ok:Secret" << "" << std::optional<QString>(QStringLiteral("Secret"));
        QTest::newRow("Enter acts as OK, own title")
            << "enter:abc" << "Enter Password for [Paint]" << std::optional<QString>(QStringLiteral("abc"));
        QTest::newRow("Cancel button drops the text") << "cancel:typed" << "" << std::optional<QString>();
        QTest::newRow("Escape acts as Cancel") << "escape:typed" << "" << std::optional<QString>();
    }

    void passwordDialogAnswers()
    {
        QFETCH(QString, step);
        QFETCH(QString, title);
        QFETCH(std::optional<QString>, answer);

        DialogDriver driver({step});
        QCOMPARE(frmPassword::Ask(title), answer);
        QCOMPARE(driver.unexpected, 0);
        QCOMPARE(driver.titles, QStringList{title.isEmpty() ? QStringLiteral("Brindle - Enter Password") : title});
        QVERIFY(!frmPassword::Current());
    }

    void passwordOK_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("given");
        QTest::addColumn<bool>("noDialog");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<bool>("result");

        const QStringList none;
        QTest::newRow("no password: never asks") << "" << "" << false << none << true;
        QTest::newRow("given text, other case") << "Secret" << "sECRET" << true << none << true;
        QTest::newRow("given text wrong") << "Secret" << "secrets" << true << none << false;
        QTest::newRow("given text is checked without dialog") << "Secret" << "nope" << false << none << false;
        QTest::newRow("asked: right at once") << "Secret" << "" << false << QStringList{"secret"} << true;
        QTest::newRow("asked: wrong twice, then right")
            << "Secret" << "" << false << QStringList{"a", "", "SECRET"} << true;
        QTest::newRow("asked: Cancel refuses at once") << "Secret" << "" << false << QStringList{"cancel"} << false;
    }

    void passwordOK()
    {
        QFETCH(QString, stored);
        QFETCH(QString, given);
        QFETCH(bool, noDialog);
        QFETCH(QStringList, answers);
        QFETCH(bool, result);

        modGlobals::SS.Password = stored;
        ScriptedPrompts prompts(answers);
        QCOMPARE(PasswordOK(prompts, given, noDialog), result);
        QCOMPARE(prompts.asked.size(), answers.size());
        QCOMPARE(prompts.unexpected, 0);
    }

private:
    std::unique_ptr<PlayTimeWorld> m_world;
};

QTEST_MAIN(TestPlayTimeDialogs)
#include "TestPlayTimeDialogs.moc"
