// The hook module over a recording keyboard: when the first hook grabs, what
// it grabs, what removing it does to the table, and the refused-grab log lines.
#include "CoreFixture.h"

#include "keys/modKeyHandler.h"
#include "keys/modKeys.h"

#include <QtTest>

class TestModKeyHandler : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_world = std::make_unique<CoreFixture>();
        m_keyboard = m_world->keyboard;
        modKeys::ClearSpecialKeys();
    }

    void cleanup()
    {
        modKeyHandler::HookKeyHandler(false);
        m_world.reset();
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
        modKeys::ClearSpecialKeys();
        modKeyHandler::ApplySpecialKeys();
        QCOMPARE(m_keyboard->grabbedKeys, QList<int>{});
        QCOMPARE(m_keyboard->installs.size(), 3);
    }

    void refusedGrabsAreLogged()
    {
        m_keyboard->refused = {QStringLiteral("Alt+Tab"), QStringLiteral("key 172 (XF86HomePage)")};
        modKeyHandler::HookKeyHandler(true);
        QVERIFY(modKeyHandler::KeyHandlerHook);
        const QString log = m_world->env.path(QStringLiteral("startup.log"));
        const QString text = QString::fromLatin1(readFile(log));
        QVERIFY2(text.contains(QLatin1String(
                     "HookKeyHandler()::Key held by another program, not swallowed: Alt+Tab\r\n")),
                 qPrintable(text));
        QVERIFY(text.contains(QLatin1String("not swallowed: key 172 (XF86HomePage)\r\n")));

        // A change of the table does not log the same combinations again.
        modKeys::AddCapturedKey(166);
        modKeyHandler::ApplySpecialKeys();
        QCOMPARE(QString::fromLatin1(readFile(log)).count(QLatin1String("not swallowed: Alt+Tab")), 1);
    }

private:
    std::unique_ptr<CoreFixture> m_world;
    platform::FakeKeyboard *m_keyboard = nullptr;
};

QTEST_GUILESS_MAIN(TestModKeyHandler)
#include "TestModKeyHandler.moc"
