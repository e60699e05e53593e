// The capture dialog with the real keyboard service on a private X server:
// keys pressed anywhere are captured, Escape ends the capture also without the
// first hook ("/debug"), and captured keys are swallowed at once.
#include "Command.h"
#include "InstallFake.h"
#include "TestEnv.h"
#include "X11TestKit.h"
#include "keys/frmAddSpecialKey.h"
#include "keys/modKeys.h"
#include "base/modGlobals.h"
#include "keys/modKeyHandler.h"
#include "platform/ScriptedDialogs.h"
#include "platform/Services.h"

#include <QListWidget>
#include <QtTest>

#include <X11/Xlib.h>
#undef KeyPress
#undef KeyRelease
#undef None
#undef Bool
#undef Status

using namespace x11kit;

class TestX11AddSpecialKey : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(display(), "no X display");
        QVERIFY(m_fixture.start());
    }

    void init()
    {
        m_env = std::make_unique<TestEnv>();
        modGlobals::SetAppPath(m_env->programFolder());
        m_dialogs = installFake<platform::ScriptedDialogs>();
        modKeys::ClearSpecialKeys();
        m_form = std::make_unique<frmAddSpecialKey>();
        m_form->show();
        QVERIFY(m_fixture.focus());
        m_fixture.takeLines();
    }

    void cleanup()
    {
        m_form.reset();
        modKeyHandler::HookKeyHandler(false);
        platform::Services::reset(); // closes the keyboard's connection: nothing stays grabbed
        modKeys::ClearSpecialKeys();
        m_env.reset();
    }

    void captureWithoutHookEndsWithEscape()
    {
        QVERIFY(!modKeyHandler::KeyHandlerHook);
        startCapture();
        QVERIFY(xdotool({"key", "XF86HomePage", "XF86HomePage", "b", "Escape"}));
        QVERIFY2(waitUntil([&] { return m_form->isEnabled(); }), "Escape did not end the capture");
        QCOMPARE(listLines(), (QStringList{"172 , (MS) WEB/HOME", "066 , Unknown"}));
        QVERIFY(!modKeys::SpecialKeyCapture);

        // The keys went to the capture, not to the program; now they go there again.
        QVERIFY(waitUntil(keyboardFree));
        QVERIFY(xdotool({"key", "b", "alt+Tab"}));
        const QStringList got = m_fixture.takeLines();
        QCOMPARE(got.count(QStringLiteral("press b")), 1);
        QVERIFY(!got.contains(QStringLiteral("press XF86HomePage")));
        QVERIFY(!got.contains(QStringLiteral("press Escape")));
        QVERIFY(!got.contains(QStringLiteral("release Escape")));
        // Without the first hook nothing is swallowed.
        QVERIFY(got.contains(QStringLiteral("press Tab")));
    }

    void capturedKeysAreSwallowedAtOnce()
    {
        modKeyHandler::HookKeyHandler(true);
        QVERIFY(modKeyHandler::KeyHandlerHook);
        startCapture();
        QVERIFY(xdotool({"key", "XF86Back", "Escape"}));
        QVERIFY(waitUntil([&] { return m_form->isEnabled(); }));
        QCOMPARE(listLines(), QStringList{"166 , (MS) BACK"});

        QVERIFY(waitUntil(keyboardFree));
        QVERIFY(xdotool({"key", "XF86Back", "b", "alt+Tab"}));
        const QStringList got = m_fixture.takeLines();
        QVERIFY2(!got.contains(QStringLiteral("press XF86Back")), qPrintable(got.join(", ")));
        QVERIFY(!got.contains(QStringLiteral("release XF86Back")));
        QVERIFY(!got.contains(QStringLiteral("press Tab")));
        QVERIFY(got.contains(QStringLiteral("press b")));

        // Clearing the list gives the key back at once.
        m_dialogs->answer(QStringLiteral("OK"));
        QTest::mouseClick(m_form->Command2, Qt::LeftButton);
        QVERIFY(listLines().isEmpty());
        QVERIFY(xdotool({"key", "XF86Back"}));
        QVERIFY(m_fixture.takeLines().contains(QStringLiteral("press XF86Back")));
    }

private:
    QStringList listLines() const
    {
        QStringList lines;
        for (int i = 0; i < m_form->List1->count(); ++i)
            lines << m_form->List1->item(i)->text();
        return lines;
    }

    void startCapture()
    {
        m_dialogs->answer(QStringLiteral("OK"));
        QTest::mouseClick(m_form->Command1, Qt::LeftButton);
        QVERIFY(modKeys::SpecialKeyCapture);
        QVERIFY(!m_form->isEnabled());
    }

    KeyFixture m_fixture;
    std::unique_ptr<TestEnv> m_env;
    platform::ScriptedDialogs *m_dialogs = nullptr;
    std::unique_ptr<frmAddSpecialKey> m_form;
};

QTEST_MAIN(TestX11AddSpecialKey)
#include "TestX11AddSpecialKey.moc"
