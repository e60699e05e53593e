// The time-expired and password dialogs, driven through their buttons and
// keys, and PasswordOK built on them.
#include "DialogDriver.h"
#include "PlayTimeWorld.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

using namespace playtimetest;

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
        QTest::addColumn<QString>("step");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("shutdown");

        QTest::newRow("Enter acts as Reset...") << "enter:Pass Word" << "Pass Word" << false;
        QTest::newRow("Reset... button") << "reset:pw" << "pw" << false;
        QTest::newRow("Reset... with nothing typed") << "reset:" << "" << false;
        QTest::newRow("shut-down button drops the typed text") << "shutdown:typed" << "" << true;
    }

    void expiredDialogAnswers()
    {
        QFETCH(QString, step);
        QFETCH(QString, text);
        QFETCH(bool, shutdown);

        // Stale values from an earlier show must not leak into this answer.
        modGlobals::ExpiredPasswordText = QStringLiteral("old");
        modGlobals::ExpiredShutdownChosen = !shutdown;
        DialogDriver driver({step});
        frmTimeExpired::ShowModal();

        QCOMPARE(driver.unexpected, 0);
        QCOMPARE(driver.shown, 1);
        QCOMPARE(driver.openWhenShown, QList<bool>{true});
        QCOMPARE(modGlobals::ExpiredPasswordText, text);
        QCOMPARE(modGlobals::ExpiredShutdownChosen, shutdown);
        QVERIFY(!modGlobals::ExpiredDialogOpen);
        QVERIFY(!frmTimeExpired::Current());
    }

    void expiredDialogLook()
    {
        frmTimeExpired dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Time Has Expired!"));
        QCOMPARE(dialog.Label1->text(), QStringLiteral("TIME HAS EXPIRED"));
        QCOMPARE(dialog.Label2->text(),
                 QStringLiteral("The time has expired, please enter password to reset, or click shutdown."));
        QCOMPARE(dialog.Label3->text(), QStringLiteral("Password:"));
        QCOMPARE(dialog.Command2->Caption(), QStringLiteral("Reset..."));
        QVERIFY(!dialog.Command1->Picture().isNull());
        QCOMPARE(dialog.Text1->echoMode(), QLineEdit::Password);
        QVERIFY(dialog.Text1->styleSheet().contains(QStringLiteral("lineedit-password-character: 42")));
        QCOMPARE(m_world->windows->topMost, QStringList{QStringLiteral("frmTimeExpired")});
        QVERIFY(modGlobals::ExpiredDialogOpen);
        QCOMPARE(frmTimeExpired::Current(), &dialog);

        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        // What is typed never shows.
        QTest::keyClicks(dialog.Text1, QStringLiteral("abc"));
        QCOMPARE(dialog.Text1->displayText(), QStringLiteral("***"));
        // Every text fits: nothing is cut off.
        QVERIFY(dialog.Label1->width() >= dialog.Label1->sizeHint().width());
        QVERIFY(dialog.Label2->height() >= dialog.Label2->heightForWidth(dialog.Label2->width()));
        QVERIFY(dialog.Command2->textRect().width() >= dialog.fontMetrics().horizontalAdvance(dialog.Command2->Caption()));
        QVERIFY(dialog.Command1->textRect().width() >= dialog.fontMetrics().horizontalAdvance(dialog.Command1->Caption()));
        keepScreenshot(dialog.grab(), QStringLiteral("frmTimeExpired"));
    }

    void expiredDialogIgnoresEscapeAndClose()
    {
        frmTimeExpired dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTest::keyClick(dialog.Text1, Qt::Key_Escape);
        QVERIFY(dialog.isVisible());
        QVERIFY(!dialog.close());
        QVERIFY(dialog.isVisible());
        QVERIFY(modGlobals::ExpiredDialogOpen);

        QTest::mouseClick(dialog.Command1, Qt::LeftButton, {}, dialog.Command1->rect().center());
        QVERIFY(!dialog.isVisible());
        QVERIFY(modGlobals::ExpiredShutdownChosen);
        QVERIFY(!modGlobals::ExpiredDialogOpen);
    }

    void expiredDialogStartsEmptyEachTime()
    {
        DialogDriver driver({QStringLiteral("reset:first"), QStringLiteral("reset:")});
        frmTimeExpired::ShowModal();
        QCOMPARE(modGlobals::ExpiredPasswordText, QStringLiteral("first"));
        frmTimeExpired::ShowModal();
        QCOMPARE(driver.unexpected, 0);
        QCOMPARE(driver.textAtShow, (QStringList{QString(), QString()}));
        QCOMPARE(modGlobals::ExpiredPasswordText, QString());
    }

    void passwordDialogAnswers_data()
    {
        QTest::addColumn<QString>("step");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("text");

        QTest::newRow("OK button") << "ok:Secret" << true << "Secret";
        QTest::newRow("Enter acts as OK") << "enter:abc" << true << "abc";
        QTest::newRow("Cancel button drops the text") << "cancel:typed" << false << "";
        QTest::newRow("Escape acts as Cancel") << "escape:typed" << false << "";
    }

    void passwordDialogAnswers()
    {
        QFETCH(QString, step);
        QFETCH(bool, ok);
        QFETCH(QString, text);

        modGlobals::PasswordDialogOK = !ok;
        modGlobals::PasswordDialogText = QStringLiteral("old");
        DialogDriver driver({step});
        frmPassword::ShowModal();
        QCOMPARE(driver.unexpected, 0);
        QCOMPARE(driver.shown, 1);
        QCOMPARE(driver.openWhenShown, QList<bool>{true});
        QCOMPARE(driver.titles, QStringList{QStringLiteral("Brindle - Enter Password")});
        QCOMPARE(modGlobals::PasswordDialogOK, ok);
        QCOMPARE(modGlobals::PasswordDialogText, text);
        QVERIFY(!modGlobals::PasswordDialogOpen);
        QVERIFY(!frmPassword::Current());
    }

    void passwordDialogLook()
    {
        modGlobals::PasswordDialogTitle = QStringLiteral("Enter Password for [Paint]");
        {
            frmPassword dialog;
            QCOMPARE(dialog.windowTitle(), QStringLiteral("Enter Password for [Paint]"));
            QCOMPARE(dialog.Label1->text(), QStringLiteral("ENTER PASSWORD"));
            QCOMPARE(dialog.Label2->text(), QStringLiteral("Password:"));
            QCOMPARE(dialog.Command1->Caption(), QStringLiteral("OK"));
            QCOMPARE(dialog.Command2->Caption(), QStringLiteral("Cancel"));
            QVERIFY(!dialog.Picture1->pixmap().isNull());
            QCOMPARE(dialog.Text1->echoMode(), QLineEdit::Password);
            QVERIFY(dialog.Text1->styleSheet().contains(QStringLiteral("lineedit-password-character: 42")));
            QCOMPARE(m_world->windows->topMost, QStringList{QStringLiteral("frmPassword")});
            QVERIFY(modGlobals::PasswordDialogOpen);

            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            QTest::keyClicks(dialog.Text1, QStringLiteral("pw"));
            QCOMPARE(dialog.Text1->displayText(), QStringLiteral("**"));
            QVERIFY(dialog.Command1->textRect().width() >= dialog.fontMetrics().horizontalAdvance(QStringLiteral("OK")));
            QVERIFY(dialog.Command2->textRect().width() >= dialog.fontMetrics().horizontalAdvance(QStringLiteral("Cancel")));
            keepScreenshot(dialog.grab(), QStringLiteral("frmPassword"));
            dialog.Command2_Click();
        }
        // The title override holds for one show only.
        QCOMPARE(modGlobals::PasswordDialogTitle, QString());
        frmPassword again;
        QCOMPARE(again.windowTitle(), QStringLiteral("Brindle - Enter Password"));
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
        QTest::newRow("asked: right at once") << "Secret" << "" << false << QStringList{"ok:secret"} << true;
        QTest::newRow("asked: wrong twice, then right")
            << "Secret" << "" << false << QStringList{"ok:a", "enter:", "enter:SECRET"} << true;
        QTest::newRow("asked: Cancel refuses at once") << "Secret" << "" << false << QStringList{"cancel"} << false;
        QTest::newRow("asked: the shell quits under it") << "Secret" << "" << false << QStringList{"quit"} << false;
    }

    void passwordOK()
    {
        QFETCH(QString, stored);
        QFETCH(QString, given);
        QFETCH(bool, noDialog);
        QFETCH(QStringList, answers);
        QFETCH(bool, result);

        modGlobals::SS.Password = stored;
        DialogDriver driver(answers);
        QCOMPARE(frmPassword::PasswordOK(given, noDialog), result);
        QCOMPARE(driver.shown, int(answers.size()));
        QCOMPARE(driver.unexpected, 0);
    }

private:
    std::unique_ptr<PlayTimeWorld> m_world;
};

QTEST_MAIN(TestPlayTimeDialogs)
#include "tst_playtimedialogs.moc"
