// Without an X display (a console, the offscreen tests) the keyboard and
// desktop services refuse quietly, and the hooks stay off.
#include "modKeyHandler.h"
#include "platform/Services.h"
#include "platform/linux/LinuxServices.h"

#include <QtTest>

class TestWithoutDisplay : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qunsetenv("DISPLAY"); }
    void keyboardRefuses();
    void desktopDoesNothing();
    void hooksStayOff();
};

void TestWithoutDisplay::keyboardRefuses()
{
    auto keyboard = platform::linuxsvc::createKeyboard();
    bool called = false;
    QVERIFY(!keyboard->installKeyGrabs({172}));
    QVERIFY(!keyboard->startCapture([&](int) { called = true; }, [&] { called = true; }));
    QVERIFY(!keyboard->startTypingMonitor([&](const QString &) { called = true; }));
    keyboard->removeKeyGrabs();
    keyboard->stopCapture();
    keyboard->stopTypingMonitor();
    QVERIFY(keyboard->refusedGrabs().isEmpty());
    QVERIFY(!called);
}

void TestWithoutDisplay::desktopDoesNothing()
{
    auto desktop = platform::linuxsvc::createDesktop();
    desktop->showTaskbar(false);
    desktop->showDesktop(false);
    desktop->showTaskbar(true);
    desktop->showDesktop(true);
}

void TestWithoutDisplay::hooksStayOff()
{
    platform::Services::reset();
    modKeyHandler::HookKeyHandler(true);
    QVERIFY(!modKeyHandler::KeyHandlerHook);
    QVERIFY(!modKeyHandler::StartTypingHook([](const QString &) {}));
    QVERIFY(!modKeyHandler::TypingHook);
    modKeyHandler::HookKeyHandler(false);
    modKeyHandler::StopTypingHook();
}

QTEST_MAIN(TestWithoutDisplay)
#include "tst_withoutdisplay.moc"
