// The capture dialog driven through its buttons, with a recording keyboard
// and scripted message boxes.
#include "FormControls.h"
#include "ShellFixture.h"

#include "keys/frmAddSpecialKey.h"
#include "keys/modKeyHandler.h"
#include "keys/modKeys.h"

#include <QListWidget>
#include <QtTest>

class TestFrmAddSpecialKey : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_world = std::make_unique<ShellFixture>();
        m_keyboard = m_world->keyboard;
        m_dialogs = m_world->dialogs;
        modKeys::ClearSpecialKeys();
        modKeys::SpecialKeyCapture = false;
        m_form = std::make_unique<frmAddSpecialKey>();
        m_form->show();
    }

    void cleanup()
    {
        m_form.reset();
        modKeyHandler::HookKeyHandler(false);
        modKeys::ClearSpecialKeys();
        m_world.reset();
    }

    // Keys pressed until Escape join the table shown; which names they get
    // and that a key is kept once is the table's own rule.
    void capture()
    {
        modKeys::AddCapturedKey(180);
        m_form->RefreshList();
        m_dialogs->answer(QStringLiteral("OK"));

        Click(m_form.get(), "Command1");
        QCOMPARE(m_dialogs->shown().size(), 1);
        QVERIFY(modKeys::SpecialKeyCapture);
        QVERIFY(!m_form->isEnabled());
        QVERIFY(m_keyboard->capturing);
        QVERIFY(m_keyboard->press(9));
        QVERIFY(m_keyboard->press(27));
        QVERIFY(!modKeys::SpecialKeyCapture);
        QTRY_VERIFY_WITH_TIMEOUT(m_form->isEnabled(), 1000);
        QCOMPARE(listLines(), (QStringList{"180 , (MS) MAIL", "009 , Unknown"}));
        QVERIFY(!m_keyboard->capturing);
    }

    void captureThatCannotStart()
    {
        m_keyboard->captureResult = false;
        m_dialogs->answer(QStringLiteral("OK"));
        m_dialogs->answer(QStringLiteral("OK"));
        Click(m_form.get(), "Command1");
        QCOMPARE(m_dialogs->shown().size(), 2);
        QCOMPARE(m_dialogs->shown().at(1).style, int(platform::Msg::Exclamation));
        QVERIFY(m_dialogs->shown().at(1).text.contains(QLatin1String("keyboard could not be taken")));
        QVERIFY(!modKeys::SpecialKeyCapture);
        QTRY_VERIFY_WITH_TIMEOUT(m_form->isEnabled(), 1000);
    }

    void clearList()
    {
        modKeys::AddCapturedKey(172);
        modKeys::AddCapturedKey(65);
        modKeyHandler::HookKeyHandler(true);
        m_form->RefreshList();
        m_dialogs->answer(QStringLiteral("OK"));
        Click(m_form.get(), "Command2");
        QCOMPARE(m_dialogs->shown().size(), 1);
        QCOMPARE(listLines(), QStringList());
        QCOMPARE(modKeys::SpecialKeyCount, -1);
        QVERIFY(m_keyboard->grabbedKeys.isEmpty()); // the hook follows at once
    }

    // A double click renames the entry's key; with the code twice in the
    // table, the first entry of that code gets the name and the selection.
    void rename()
    {
        modKeys::AddCapturedKey(172);
        modKeys::AddCapturedKey(65);
        modKeys::SpecialKeys.append({172, QStringLiteral("second")});
        modKeys::SpecialKeyCount = 2;
        m_form->RefreshList();
        list()->setCurrentRow(-1);
        m_dialogs->answer(QStringLiteral("Home"));
        doubleClickRow(2);
        QCOMPARE(m_dialogs->shown().size(), 1);
        QCOMPARE(m_dialogs->shown().at(0).defaultText, QStringLiteral("(MS) WEB/HOME"));
        QCOMPARE(listLines(), (QStringList{"172 , Home", "065 , Unknown", "172 , second"}));
        QCOMPARE(list()->currentRow(), 0);
    }

    void closingDuringCaptureWaitsForEscape()
    {
        m_dialogs->answer(QStringLiteral("OK"));
        Click(m_form.get(), "Command1");
        QVERIFY(!m_form->close());
        QVERIFY(m_form->isVisible());
        // A dialog destroyed in the middle of a capture gives the keyboard back.
        QVERIFY(m_keyboard->capturing);
        m_form.reset();
        QVERIFY(!m_keyboard->capturing);
        QVERIFY(!modKeys::SpecialKeyCapture);
    }

private:
    QListWidget *list() const { return Control<QListWidget>(m_form.get(), "List1"); }
    QStringList listLines() const
    {
        QStringList lines;
        for (int i = 0; i < list()->count(); ++i)
            lines << list()->item(i)->text();
        return lines;
    }

    void doubleClickRow(int row)
    {
        QListWidget *view = list();
        const QRect rect = view->visualItemRect(view->item(row));
        // An item view reports a double click after the press of the first click.
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, rect.center());
    }

    std::unique_ptr<ShellFixture> m_world;
    platform::FakeKeyboard *m_keyboard = nullptr;
    platform::ScriptedDialogs *m_dialogs = nullptr;
    std::unique_ptr<frmAddSpecialKey> m_form;
};

QTEST_MAIN(TestFrmAddSpecialKey)
#include "TestFrmAddSpecialKey.moc"
