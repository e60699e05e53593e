// The time-expired and password dialogs, driven through their buttons and keys.
#include "CoreFixture.h"
#include "FormControls.h"

#include "playtime/frmCountdown.h"
#include "playtime/frmPassword.h"
#include "playtime/frmTimeExpired.h"

#include <Command.h>

#include <QLabel>
#include <QLineEdit>
#include <QtTest>

Q_DECLARE_METATYPE(std::optional<QString>)

namespace {

// Once the dialog is up, types into Text1, then presses "Return" or "Escape",
// or clicks the button of that name; "Released" is the remote console
// closing the dialog from outside for the parent.
template<typename Dialog>
void answerWhenShown(const QString &typed, const QString &press)
{
    QTimer::singleShot(0, [typed, press] {
        Dialog *dialog = Dialog::Current();
        QVERIFY(dialog && dialog->isVisible());
        if constexpr (std::is_same_v<Dialog, frmTimeExpired>) {
            // Neither Escape nor closing gets the child past it.
            QTest::keyClick(Control<QLineEdit>(dialog, "Text1"), Qt::Key_Escape);
            QVERIFY(!dialog->close());
            QVERIFY(dialog->isVisible());
            if (press == QLatin1String("Released")) {
                dialog->ReleaseByParent();
                dialog->close();
                return;
            }
        }
        QTest::keyClicks(Control<QLineEdit>(dialog, "Text1"), typed);
        QCOMPARE(Control<QLineEdit>(dialog, "Text1")->displayText(), QString(typed.size(), QLatin1Char('*')));
        if (press == QLatin1String("Return") || press == QLatin1String("Escape")) {
            QTest::keyClick(Control<QLineEdit>(dialog, "Text1"), press == QLatin1String("Return") ? Qt::Key_Return : Qt::Key_Escape);
            return;
        }
        // "a>b" clicks a, then b.
        for (const QString &name : press.split(QLatin1Char('>'))) {
            Command *button = dialog->template findChild<Command *>(name);
            QVERIFY(button && button->isVisible());
            QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
        }
    });
}

} // namespace

class TestPlayTimeDialogs : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_world = std::make_unique<CoreFixture>(); }
    void cleanup() { m_world.reset(); }

    void expiredDialogAnswers_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("press");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("shutdown");
        QTest::addColumn<bool>("released");
        QTest::addColumn<int>("minutes");

        QTest::newRow("Enter acts as Reset...") << "Pass Word" << "Return" << "Pass Word" << false << false << 0;
        QTest::newRow("Reset... with nothing typed") << "" << "Command2" << "" << false << false << 0;
        QTest::newRow("shut-down button drops the typed text") << "typed" << "Command1" << "" << true << false << 0;
        QTest::newRow("released from afar is the parent's reset") << "" << "Released" << "" << false << true << 0;
        QTest::newRow("extra time with the password") << "pw" << "cmdExtra>cmdExtra15" << "pw" << false << false << 15;
    }

    void expiredDialogAnswers()
    {
        QFETCH(QString, typed);
        QFETCH(QString, press);
        QFETCH(QString, password);
        QFETCH(bool, shutdown);
        QFETCH(bool, released);
        QFETCH(int, minutes);

        answerWhenShown<frmTimeExpired>(typed, press);
        const std::optional<Prompts::ExpiredAnswer> answer = frmTimeExpired::Ask();
        QVERIFY(answer);
        QCOMPARE(answer->password, password);
        QCOMPARE(answer->shutDown, shutdown);
        QCOMPARE(answer->released, released);
        QCOMPARE(answer->extraMinutes, minutes);
        QVERIFY(!frmTimeExpired::Current());
        QCOMPARE(m_world->windows->calls, QStringList{QStringLiteral("topmost")});
    }

    void shownTexts_data()
    {
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("text");
        QTest::newRow("a minute begun counts") << frmCountdown::NoticeText(61) << "2 minutes left";
        QTest::newRow("the last minute") << frmCountdown::NoticeText(60) << "1 minute left";
        QTest::newRow("seconds") << frmCountdown::NoticeText(30) << "30 seconds left";
        QTest::newRow("one second") << frmCountdown::NoticeText(1) << "1 second left";
        frmTimeExpired bedtime(nullptr, true);
        QTest::newRow("bedtime line") << Control<QLabel>(&bedtime, "Label2")->text() << "It is past bedtime. See you tomorrow!";
    }

    void shownTexts()
    {
        QFETCH(QString, shown);
        QFETCH(QString, text);
        QCOMPARE(shown, text);
    }

    void passwordDialogAnswers_data()
    {
        QTest::addColumn<QString>("press");
        QTest::addColumn<std::optional<QString>>("answer");

        QTest::newRow("OK button") << "Command1" << std::optional<QString>(QStringLiteral("Secret"));
        QTest::newRow("Cancel button drops the text") << "Command2" << std::optional<QString>();
        QTest::newRow("Escape acts as Cancel") << "Escape" << std::optional<QString>();
    }

    void passwordDialogAnswers()
    {
        QFETCH(QString, press);
        QFETCH(std::optional<QString>, answer);

        answerWhenShown<frmPassword>(QStringLiteral("Secret"), press);
        QCOMPARE(frmPassword::Ask(QString()), answer);
        QVERIFY(!frmPassword::Current());
    }

private:
    std::unique_ptr<CoreFixture> m_world;
};

QTEST_MAIN(TestPlayTimeDialogs)
#include "TestPlayTimeDialogs.moc"
