// The child's desktop under openbox with the session's configuration: the
// panel (tint2, a dock) and a desktop window hidden and given back, and no
// menu on the root window and one desktop only. That the configuration binds
// no keys shows in TestX11Keyboard, whose grabs would be refused.
#include "X11TestKit.h"
#include "platform/linux/LinuxServices.h"

#include <QtTest>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include "platform/linux/XlibUndef.h"

using namespace x11kit;

namespace {
const char *const kDock = "_NET_WM_WINDOW_TYPE_DOCK";
const char *const kDesktop = "_NET_WM_WINDOW_TYPE_DESKTOP";
} // namespace

class TestX11Desktop : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(display(), "no X display");
        QVERIFY2(!windowsOfType(kDock).isEmpty(), "the test panel (tint2) is not running");
    }

    void init() { m_desktop = platform::linuxsvc::createDesktop(); }

    void cleanup()
    {
        m_desktop->showTaskbar(true);
        m_desktop->showDesktop(true);
        m_desktop.reset();
        for (unsigned long w : std::as_const(m_created))
            XDestroyWindow(display(), w);
        m_created.clear();
        // Back to a visible panel for the next test.
        QVERIFY(waitUntil([] { return !windowsOfType(kDock).isEmpty(); }));
    }

    void hideAndGiveBack_data()
    {
        QTest::addColumn<bool>("taskbar"); // else the desktop
        QTest::newRow("panel") << true;
        QTest::newRow("desktop window") << false;
    }

    void hideAndGiveBack()
    {
        QFETCH(bool, taskbar);
        const char *type = taskbar ? kDock : kDesktop;
        const char *other = taskbar ? kDesktop : kDock;

        createMapped(kDesktop);
        QVERIFY(waitUntil([&] { return !windowsOfType(type).isEmpty() && !windowsOfType(other).isEmpty(); }));
        const qsizetype otherCount = windowsOfType(other).size();

        taskbar ? m_desktop->showTaskbar(false) : m_desktop->showDesktop(false);
        QVERIFY2(waitUntil([&] { return windowsOfType(type).isEmpty(); }), "a window of the type is still shown");
        QCOMPARE(windowsOfType(other).size(), otherCount); // the other kind is left alone

        taskbar ? m_desktop->showTaskbar(true) : m_desktop->showDesktop(true);
        QVERIFY2(waitUntil([&] { return !windowsOfType(type).isEmpty(); }), "the hidden windows did not come back");
    }

    // Kept hidden, a panel that shows itself again or a new panel window is
    // hidden again with no call of ours (on the window's own events; how fast
    // is for a benchmark, not for a test on a loaded machine).
    void keptHiddenPanelComesBack_data()
    {
        QTest::addColumn<bool>("newPanel"); // else tint2 maps itself again
        QTest::newRow("panel maps itself") << false;
        QTest::newRow("new panel window") << true;
    }

    void keptHiddenPanelComesBack()
    {
        QFETCH(bool, newPanel);
        const QList<unsigned long> panels = windowsOfType(kDock);
        m_desktop->keepTaskbarHidden(true);
        QVERIFY(waitUntil([] { return windowsOfType(kDock).isEmpty(); }));
        for (int round = 0; round < 3; ++round) {
            if (newPanel)
                createMapped(kDock);
            else
                for (unsigned long w : panels)
                    XMapWindow(display(), w);
            QVERIFY2(waitUntil([] { return windowsOfType(kDock).isEmpty(); }, 1000), "the panel stays shown");
        }
    }

    // A click on the root window opens no menu, with any button; there is one desktop.
    void rootWindowOpensNoMenu()
    {
        QCOMPARE(x11kit::property(DefaultRootWindow(display()), "_NET_NUMBER_OF_DESKTOPS"), QList<unsigned long>{1});
        const qsizetype before = viewableTopLevels().size();
        for (const char *button : {"1", "2", "3"}) {
            QVERIFY(xdotool({"mousemove", "600", "500", "click", button}));
            QTest::qWait(300);
            QCOMPARE(viewableTopLevels().size(), before);
        }
    }

private:
    void createMapped(const char *typeName)
    {
        ::Display *dpy = display();
        const Window w = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 200, 100, 0, 0, 0xffffff);
        const Atom type = XInternAtom(dpy, typeName, False);
        XChangeProperty(dpy, w, XInternAtom(dpy, "_NET_WM_WINDOW_TYPE", False), XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char *>(&type), 1);
        XMapWindow(dpy, w);
        m_created.append(w);
    }

    std::unique_ptr<platform::Desktop> m_desktop;
    QList<unsigned long> m_created;
};

QTEST_MAIN(TestX11Desktop)
#include "TestX11Desktop.moc"
