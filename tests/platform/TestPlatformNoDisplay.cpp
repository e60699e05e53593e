// Without an X display (the offscreen platform, a console) the platform
// services refuse or do nothing, never crash, and the hooks stay off.
#include "keys/modKeyHandler.h"
#include "platform/Services.h"
#include "platform/linux/LinuxServices.h"
#include "platform/linux/X11Connection.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QWidget>

using platform::WindowId;

class TestPlatformNoDisplay : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QCOMPARE(platform::x11::connection(), nullptr);
        QCOMPARE(platform::x11::rootWindow(), 0UL);
        QVERIFY(!platform::x11::withoutErrors([] {}));
    }

    void windowsServiceIsQuiet()
    {
        auto windows = platform::linuxsvc::createWindows();
        QCOMPARE(windows->findMainWindow(QCoreApplication::applicationPid()), WindowId(0));
        QVERIFY(windows->topLevelWindows().isEmpty());
        windows->requestClose(0x400006);
        // Nothing to ask counts as an answer, at once.
        QElapsedTimer timer;
        timer.start();
        QVERIFY(windows->isResponding(0x400006, 1000));
        QVERIFY(timer.elapsed() < 100);
    }

    void displayServiceIsQuiet()
    {
        auto display = platform::linuxsvc::createDisplay();
        QVERIFY(display->modes().isEmpty());
        QVERIFY(!display->setMode({1024, 768, 24, 60}));
    }

    void keyboardRefusesAndHooksStayOff()
    {
        auto keyboard = platform::linuxsvc::createKeyboard();
        bool called = false;
        QVERIFY(!keyboard->installKeyGrabs({172}));
        QVERIFY(!keyboard->startCapture([&](int) { called = true; }, [&] { called = true; }));
        QVERIFY(!keyboard->startTypingMonitor([&](const QString &) { called = true; }));
        QVERIFY(!called);

        platform::Services::reset();
        modKeyHandler::HookKeyHandler(true);
        QVERIFY(!modKeyHandler::KeyHandlerHook);
        QVERIFY(!modKeyHandler::StartTypingHook([](const QString &) {}));
        QVERIFY(!modKeyHandler::TypingHook);
        modKeyHandler::HookKeyHandler(false);
    }
};

int main(int argc, char *argv[])
{
    // Whatever the caller's session: no display here.
    qunsetenv("DISPLAY");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestPlatformNoDisplay test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestPlatformNoDisplay.moc"
