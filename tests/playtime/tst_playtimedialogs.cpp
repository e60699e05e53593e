// The time-expired and password dialogs, driven through their buttons and
// keys, and PasswordOK with the button-password question built on them.
#include "DialogDriver.h"
#include "PlayTimeWorld.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

using namespace playtimetest;

namespace {

// The share of pixels that are clearly red (the power disc) or clearly
// yellow-brown (the padlock's brass).
double shareOf(const QImage &image, bool (*wanted)(const QColor &))
{
    const QImage img = image.convertToFormat(QImage::Format_ARGB32);
    int hits = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            hits += wanted(QColor::fromRgba(img.pixel(x, y))) ? 1 : 0;
    return double(hits) / (img.width() * img.height());
}

bool isRed(const QColor &c)
{
    return c.alpha() > 200 && c.red() > 140 && c.green() < 110 && c.blue() < 110;
}

bool isBrass(const QColor &c)
{
    return c.alpha() > 200 && c.red() > 180 && c.green() > 110 && c.blue() < 90;
}

// With BRINDLE_SCREENSHOTS set, the dialogs are saved there for people to look at.
void keepScreenshot(const QPixmap &picture, const QString &name)
{
    const QString folder = QString::fromLocal8Bit(qgetenv("BRINDLE_SCREENSHOTS"));
    if (!folder.isEmpty()) {
        QDir().mkpath(folder);
        picture.save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
    }
}

void keepScreenshot(QWidget *widget, const QString &name)
{
    keepScreenshot(widget->grab(), name);
}

} // namespace

class TestPlayTimeDialogs : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_world = std::make_unique<PlayTimeWorld>(); }
    void cleanup() { m_world.reset(); }

    void expiredDialogAnswers_data();
    void expiredDialogAnswers();
    void expiredDialogLook();
    void expiredDialogIgnoresEscapeAndClose();
    void expiredDialogStartsEmptyEachTime();
    void timer1PutsFocusIntoText();
    void passwordDialogAnswers_data();
    void passwordDialogAnswers();
    void passwordDialogLook();
    void passwordOK_data();
    void passwordOK();
    void buttonPassword_data();
    void buttonPassword();
    void pictures();

private:
    std::unique_ptr<PlayTimeWorld> m_world;
};

void TestPlayTimeDialogs::expiredDialogAnswers_data()
{
    QTest::addColumn<QString>("step");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("shutdown");

    QTest::newRow("Enter acts as Reset...") << "enter:Pass Word" << "Pass Word" << false;
    QTest::newRow("Reset... button") << "reset:pw" << "pw" << false;
    QTest::newRow("Reset... with nothing typed") << "reset:" << "" << false;
    QTest::newRow("shut-down button drops the typed text") << "shutdown:typed" << "" << true;
}

void TestPlayTimeDialogs::expiredDialogAnswers()
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

void TestPlayTimeDialogs::expiredDialogLook()
{
    frmTimeExpired dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Time Has Expired!"));
    QCOMPARE(dialog.font().family(), QStringLiteral("Tahoma"));
    QCOMPARE(dialog.Label1->text(), QStringLiteral("TIME HAS EXPIRED"));
    QCOMPARE(dialog.Label2->text(),
             QStringLiteral("The time has expired, please enter password to reset, or click shutdown."));
    QCOMPARE(dialog.Label3->text(), QStringLiteral("Password:"));
    QCOMPARE(dialog.Command2->Caption(), QStringLiteral("Reset..."));
    QVERIFY(!dialog.Command1->Picture().isNull());
    QCOMPARE(dialog.Text1->echoMode(), QLineEdit::Password);
    QVERIFY(dialog.Text1->styleSheet().contains(QStringLiteral("lineedit-password-character: 42")));
    QCOMPARE(dialog.Timer1->interval(), 10);
    QVERIFY(dialog.Timer1->isSingleShot());
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
    keepScreenshot(&dialog, QStringLiteral("frmTimeExpired"));
}

void TestPlayTimeDialogs::expiredDialogIgnoresEscapeAndClose()
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

void TestPlayTimeDialogs::expiredDialogStartsEmptyEachTime()
{
    DialogDriver driver({QStringLiteral("reset:first"), QStringLiteral("reset:")});
    frmTimeExpired::ShowModal();
    QCOMPARE(modGlobals::ExpiredPasswordText, QStringLiteral("first"));
    frmTimeExpired::ShowModal();
    QCOMPARE(driver.unexpected, 0);
    QCOMPARE(driver.textAtShow, (QStringList{QString(), QString()}));
    QCOMPARE(modGlobals::ExpiredPasswordText, QString());
}

// Timer1 runs once after load and puts the focus into Text1, wherever it was.
template<typename Dialog>
static void checkTimer1()
{
    Dialog dialog;
    QVERIFY(dialog.Timer1->isActive());
    dialog.Timer1->stop();
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    dialog.Command2->setFocus();
    QVERIFY(!dialog.Text1->hasFocus());
    dialog.Timer1->start();
    QTRY_VERIFY(dialog.Text1->hasFocus());
    QVERIFY(!dialog.Timer1->isActive());
}

void TestPlayTimeDialogs::timer1PutsFocusIntoText()
{
    checkTimer1<frmTimeExpired>();
    if (QTest::currentTestFailed())
        return;
    checkTimer1<frmPassword>();
}

void TestPlayTimeDialogs::passwordDialogAnswers_data()
{
    QTest::addColumn<QString>("step");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("text");

    QTest::newRow("OK button") << "ok:Secret" << true << "Secret";
    QTest::newRow("Enter acts as OK") << "enter:abc" << true << "abc";
    QTest::newRow("Cancel button drops the text") << "cancel:typed" << false << "";
    QTest::newRow("Escape acts as Cancel") << "escape:typed" << false << "";
}

void TestPlayTimeDialogs::passwordDialogAnswers()
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

void TestPlayTimeDialogs::passwordDialogLook()
{
    modGlobals::PasswordDialogTitle = QStringLiteral("Enter Password for [Paint]");
    {
        frmPassword dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Enter Password for [Paint]"));
        QCOMPARE(dialog.font().family(), QStringLiteral("Tahoma"));
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
        keepScreenshot(&dialog, QStringLiteral("frmPassword"));
        dialog.Command2_Click();
    }
    // The title override holds for one show only.
    QCOMPARE(modGlobals::PasswordDialogTitle, QString());
    frmPassword again;
    QCOMPARE(again.windowTitle(), QStringLiteral("Brindle - Enter Password"));
}

void TestPlayTimeDialogs::passwordOK_data()
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
    QTest::newRow("asked: wrong, then Cancel")
        << "Secret" << "" << false << QStringList{"ok:x", "escape"} << false;
}

void TestPlayTimeDialogs::passwordOK()
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

void TestPlayTimeDialogs::buttonPassword_data()
{
    QTest::addColumn<QString>("step");
    QTest::addColumn<bool>("answered");
    QTest::addColumn<QString>("text");

    QTest::newRow("typed and confirmed") << "ok:Games1" << true << "Games1";
    QTest::newRow("cancelled") << "cancel:Games1" << false << "";
}

// A menu button's own password: the launcher sets the title and shows the dialog.
void TestPlayTimeDialogs::buttonPassword()
{
    QFETCH(QString, step);
    QFETCH(bool, answered);
    QFETCH(QString, text);

    modGlobals::PasswordDialogTitle = QStringLiteral("Enter Password for [Games]");
    DialogDriver driver({step, QStringLiteral("ok:again")});
    frmPassword::ShowModal();
    QCOMPARE(modGlobals::PasswordDialogOK, answered);
    QCOMPARE(modGlobals::PasswordDialogText, text);
    // The next show without a new title has the usual one.
    frmPassword::ShowModal();
    QCOMPARE(driver.unexpected, 0);
    QCOMPARE(driver.titles,
             (QStringList{QStringLiteral("Enter Password for [Games]"), QStringLiteral("Brindle - Enter Password")}));
}

void TestPlayTimeDialogs::pictures()
{
    const QImage power = frmTimeExpired::PowerPicture(48).toImage();
    QCOMPARE(power.size(), QSize(48, 48));
    QCOMPARE(qAlpha(power.pixel(0, 0)), 0); // round, on a clear background
    QVERIFY(shareOf(power, isRed) > 0.35);
    // The symbol: white at the bar above the centre, and at the ring's bottom.
    QVERIFY(QColor(power.pixel(24, 14)).lightness() > 200);
    QVERIFY(QColor(power.pixel(24, 35)).lightness() > 200);

    keepScreenshot(frmTimeExpired::PowerPicture(160), QStringLiteral("power-large"));
    keepScreenshot(frmPassword::LockPicture(160), QStringLiteral("lock-large"));
    const QImage lock = frmPassword::LockPicture(64).toImage();
    QCOMPARE(qAlpha(lock.pixel(0, 0)), 0);
    QVERIFY(shareOf(lock, isBrass) > 0.2);

    // The pictures reach the screen through the buttons.
    frmTimeExpired dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(shareOf(dialog.Command1->grab().toImage(), isRed) > 0.05);
    dialog.Command1_Click();
}

QTEST_MAIN(TestPlayTimeDialogs)
#include "tst_playtimedialogs.moc"
