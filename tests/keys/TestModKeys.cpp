// The frozen-key table and spc_keys.dat; the hook module over a recording
// keyboard: when the first hook grabs, what it grabs, what removing it does
// to the table, and the refused-grab log lines; the capture dialog driven
// through its buttons.
#include "CoreFixture.h"
#include "FormControls.h"

#include "keys/frmAddSpecialKey.h"
#include "keys/modKeyHandler.h"
#include "keys/modKeys.h"

#include <QFile>
#include <QListWidget>
#include <QtTest>

using KeyList = QList<SpecialKey>;

Q_DECLARE_METATYPE(KeyList)

class TestModKeys : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_world = std::make_unique<CoreFixture>();
        m_keyboard = m_world->keyboard;
        modKeys::ClearSpecialKeys();
        modKeys::SpecialKeyCapture = false;
    }

    void cleanup()
    {
        m_form.reset();
        modKeyHandler::HookKeyHandler(false);
        m_world.reset();
    }

    void parse_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<KeyList>("keys");

        QTest::newRow("third line without comma ends")
            << QByteArray("1,a\r\n2,b\r\nthree\r\n4,d\r\n") << KeyList{{1, "a"}, {2, "b"}};
        QTest::newRow("non-numeric key skipped")
            << QByteArray("x,a\r\n,empty\r\n  ,blank\r\n1 2,two\r\n&H1F,hex\r\n5,e\r\n") << KeyList{{5, "e"}};
        QTest::newRow("rounding halves to even")
            << QByteArray("2.5,a\r\n3.5,b\r\n-0.5,c\r\n7.49,d\r\n1e1,e\r\n.5,f\r\n+8,g\r\n")
            << KeyList{{2, "a"}, {4, "b"}, {0, "c"}, {7, "d"}, {10, "e"}, {0, "f"}, {8, "g"}};
        QTest::newRow("out of 32-bit range skipped")
            << QByteArray("99999999999,x\r\n-2147483648,min\r\n") << KeyList{{-2147483647 - 1, "min"}};
    }

    void parse()
    {
        QFETCH(QByteArray, file);
        QFETCH(KeyList, keys);
        QCOMPARE(SpecialKeysFile::Parse(file), keys);
    }

    // An old read-only file is replaced as a whole and reads back the same;
    // a missing file is an empty table.
    void saveAndLoad()
    {
        const QString path = m_world->env.path(QStringLiteral("spc_keys.dat"));
        const KeyList keys{{172, "(MS) WEB/HOME"}, {65, "A, the letter"}, {-1, "  Größe €"}};
        modKeys::SpecialKeys = keys;
        QVERIFY(writeFile(path, "1,old\r\n"));
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner));
        modKeys::SaveSpecialKeys(path);
        QCOMPARE(readFile(path), QByteArray("172,(MS) WEB/HOME\r\n65,A, the letter\r\n-1,  Gr\xf6\xdf" "e \x80\r\n"));
        modKeys::ClearSpecialKeys();
        modKeys::LoadSpecialKeys(path);
        QCOMPARE(modKeys::SpecialKeys, keys);
        QCOMPARE(modKeys::SpecialKeyCount, 2);
        QVERIFY(QFile::remove(path));
        modKeys::LoadSpecialKeys(path);
        QCOMPARE(modKeys::SpecialKeyCount, -1);
    }

    void capture()
    {
        for (int code : {172, 65, 9}) {
            QVERIFY(modKeys::AddCapturedKey(code));
            QVERIFY(!modKeys::AddCapturedKey(code));
        }
        QCOMPARE(modKeys::SpecialKeys, (KeyList{{172, "(MS) WEB/HOME"}, {65, "Unknown"}, {9, "Unknown"}}));
        QCOMPARE(modKeys::SpecialKeyCount, 2);

        // A name set by hand stays; the code is still known.
        modKeys::SpecialKeys[1].Name = QStringLiteral("letter A");
        QVERIFY(!modKeys::AddCapturedKey(65));
        QCOMPARE(modKeys::SpecialKeys[1].Name, QStringLiteral("letter A"));
    }

    void hookSequence_data()
    {
        QTest::addColumn<QList<bool>>("calls");  // HookKeyHandler arguments in order
        QTest::addColumn<int>("installs");       // grabs taken
        QTest::addColumn<int>("removals");       // grabs given back
        QTest::addColumn<bool>("hooked");
        QTest::addColumn<bool>("grabsWork");

        QTest::newRow("install twice") << QList<bool>{true, true} << 1 << 0 << true << true;
        QTest::newRow("remove twice after install") << QList<bool>{true, false, false} << 1 << 1 << false << true;
        // A failed installation leaves no hook, so there is nothing to remove.
        QTest::newRow("grabs refused") << QList<bool>{true, false} << 1 << 0 << false << false;
    }

    void hookSequence()
    {
        QFETCH(QList<bool>, calls);
        QFETCH(int, installs);
        QFETCH(int, removals);
        QFETCH(bool, hooked);
        QFETCH(bool, grabsWork);
        m_keyboard->installResult = grabsWork;
        for (bool install : calls)
            modKeyHandler::HookKeyHandler(install);
        QCOMPARE(int(m_keyboard->installs.size()), installs);
        QCOMPARE(m_keyboard->removals, removals);
        QCOMPARE(modKeyHandler::KeyHandlerHook, hooked);
        QCOMPARE(m_keyboard->grabbing, hooked);
    }

    void removingEmptiesTheTable()
    {
        modKeys::AddCapturedKey(172);
        modKeys::AddCapturedKey(92);
        modKeys::SpecialKeys.append({172, QStringLiteral("a duplicate from a hand-made file")});
        modKeys::SpecialKeyCount = int(modKeys::SpecialKeys.size()) - 1;
        modKeyHandler::HookKeyHandler(true);
        QCOMPARE(m_keyboard->installs.value(0), (QList<int>{172, 92}));

        modKeyHandler::HookKeyHandler(false);
        QVERIFY(modKeys::SpecialKeys.isEmpty());
        QCOMPARE(modKeys::SpecialKeyCount, -1);

        // Removing twice does nothing, also not to a table filled since.
        modKeys::AddCapturedKey(166);
        modKeyHandler::HookKeyHandler(false);
        QCOMPARE(modKeys::SpecialKeyCount, 0);
    }

    void tableChangesReachAnInstalledHook()
    {
        modKeyHandler::ApplySpecialKeys(); // no hook: nothing grabbed
        QVERIFY(m_keyboard->installs.isEmpty());

        modKeyHandler::HookKeyHandler(true);
        modKeys::AddCapturedKey(183);
        modKeyHandler::ApplySpecialKeys();
        QCOMPARE(m_keyboard->grabbedKeys, QList<int>{183});
        QCOMPARE(m_keyboard->installs.size(), 2);
    }

    void refusedGrabsAreLogged()
    {
        m_keyboard->refused = {QStringLiteral("Alt+Tab"), QStringLiteral("key 172 (XF86HomePage)")};
        modKeyHandler::HookKeyHandler(true);
        QVERIFY(modKeyHandler::KeyHandlerHook);
        const QString held = QStringLiteral("HookKeyHandler()::Key held by another program, not swallowed: ");
        const QStringList logged{held + "Alt+Tab", held + "key 172 (XF86HomePage)"};
        QCOMPARE(m_world->env.logLines(), logged);

        // A change of the table does not log the same combinations again.
        modKeys::AddCapturedKey(166);
        modKeyHandler::ApplySpecialKeys();
        QCOMPARE(m_world->env.logLines(), logged);
    }

    // Keys pressed until Escape join the table shown; which names they get
    // and that a key is kept once is the table's own rule.
    void captureDialog()
    {
        modKeys::AddCapturedKey(180);
        form()->RefreshList();
        m_world->dialogs->answer(QStringLiteral("OK"));

        Click(form(), "Command1");
        QCOMPARE(m_world->dialogs->shown().size(), 1);
        QVERIFY(modKeys::SpecialKeyCapture);
        QVERIFY(!form()->isEnabled());
        QVERIFY(m_keyboard->press(9)); // only while capturing
        QVERIFY(m_keyboard->press(27));
        QVERIFY(!modKeys::SpecialKeyCapture);
        QTRY_VERIFY_WITH_TIMEOUT(form()->isEnabled(), 1000);
        QCOMPARE(listLines(), (QStringList{"180 , (MS) MAIL", "009 , Unknown"}));
        QVERIFY(!m_keyboard->capturing);
    }

    void captureThatCannotStart()
    {
        m_keyboard->captureResult = false;
        m_world->dialogs->answer(QStringLiteral("OK"));
        m_world->dialogs->answer(QStringLiteral("OK"));
        Click(form(), "Command1");
        QCOMPARE(m_world->dialogs->shown().size(), 2);
        QCOMPARE(m_world->dialogs->shown().at(1).style, int(platform::Msg::Exclamation));
        QVERIFY(m_world->dialogs->shown().at(1).text.contains(QLatin1String("keyboard could not be taken")));
        QVERIFY(!modKeys::SpecialKeyCapture);
        QTRY_VERIFY_WITH_TIMEOUT(form()->isEnabled(), 1000);
    }

    void clearList()
    {
        modKeys::AddCapturedKey(172);
        modKeys::AddCapturedKey(65);
        modKeyHandler::HookKeyHandler(true);
        form()->RefreshList();
        m_world->dialogs->answer(QStringLiteral("OK"));
        Click(form(), "Command2");
        QCOMPARE(m_world->dialogs->shown().size(), 1);
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
        form()->RefreshList();
        list()->setCurrentRow(-1);
        m_world->dialogs->answer(QStringLiteral("Home"));
        doubleClickRow(2);
        QCOMPARE(m_world->dialogs->shown().size(), 1);
        QCOMPARE(m_world->dialogs->shown().at(0).defaultText, QStringLiteral("(MS) WEB/HOME"));
        QCOMPARE(listLines(), (QStringList{"172 , Home", "065 , Unknown", "172 , second"}));
        QCOMPARE(list()->currentRow(), 0);
    }

    void closingDuringCaptureWaitsForEscape()
    {
        m_world->dialogs->answer(QStringLiteral("OK"));
        Click(form(), "Command1");
        QVERIFY(!form()->close());
        QVERIFY(form()->isVisible());
        // A dialog destroyed in the middle of a capture gives the keyboard back.
        QVERIFY(m_keyboard->capturing);
        m_form.reset();
        QVERIFY(!m_keyboard->capturing);
        QVERIFY(!modKeys::SpecialKeyCapture);
    }

private:
    frmAddSpecialKey *form()
    {
        if (!m_form) {
            m_form = std::make_unique<frmAddSpecialKey>();
            m_form->show();
        }
        return m_form.get();
    }
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

    std::unique_ptr<CoreFixture> m_world;
    platform::FakeKeyboard *m_keyboard = nullptr;
    std::unique_ptr<frmAddSpecialKey> m_form;
};

QTEST_MAIN(TestModKeys)
#include "TestModKeys.moc"
