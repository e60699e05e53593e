// The child's desktop under openbox with the session's configuration: the
// panel (tint2, a dock) and a desktop window hidden and given back, and no
// menu on the root window and one desktop only. That the configuration binds
// no keys shows in TestX11Keyboard, whose grabs would be refused.
#include "X11TestKit.h"
#include "platform/linux/LinuxServices.h"

#include <QtTest>

#include <X11/Xlib.h>
#include "platform/linux/XlibUndef.h"

using namespace x11kit;

namespace {
const char *const kDock = "_NET_WM_WINDOW_TYPE_DOCK";
const char *const kDesktop = "_NET_WM_WINDOW_TYPE_DESKTOP";

// Viewable children of the root: frames, openbox's own windows, its menus.
int viewableTopLevels()
{
    ::Display *dpy = display();
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    int found = 0;
    if (XQueryTree(dpy, DefaultRootWindow(dpy), &root, &parent, &children, &count)) {
        for (unsigned i = 0; i < count; ++i)
            found += isViewable(children[i]) ? 1 : 0;
        XFree(children);
    }
    return found;
}
} // namespace

class TestX11Desktop : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(display(), "no X display");
        QVERIFY2(!windowsOfType(kDock, true).isEmpty(), "the test panel (tint2) is not running");
    }

    void init() { m_desktop = platform::linuxsvc::createDesktop(); }

    void cleanup()
    {
        if (m_desktop) {
            m_desktop->showTaskbar(true);
            m_desktop->showDesktop(true);
        }
        m_desktop.reset();
        for (unsigned long w : std::as_const(m_created))
            destroyWindow(w);
        m_created.clear();
        // Back to a visible panel for the next test.
        QVERIFY(waitUntil([] { return !windowsOfType(kDock, true).isEmpty(); }));
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

        m_created.append(createTypedWindow(kDesktop, true));
        QVERIFY(waitUntil([&] { return !windowsOfType(type, true).isEmpty(); }));
        QVERIFY(waitUntil([&] { return !windowsOfType(other, true).isEmpty(); }));
        const qsizetype otherCount = windowsOfType(other, true).size();

        taskbar ? m_desktop->showTaskbar(false) : m_desktop->showDesktop(false);
        QVERIFY2(waitUntil([&] { return windowsOfType(type, true).isEmpty(); }),
                 "a window of the type is still shown");
        QCOMPARE(windowsOfType(other, true).size(), otherCount); // the other kind is left alone

        taskbar ? m_desktop->showTaskbar(true) : m_desktop->showDesktop(true);
        QVERIFY2(waitUntil([&] { return !windowsOfType(type, true).isEmpty(); }),
                 "the hidden windows did not come back");
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
        const QList<unsigned long> panels = windowsOfType(kDock, true);
        m_desktop->keepTaskbarHidden(true);
        QVERIFY(waitUntil([] { return windowsOfType(kDock, true).isEmpty(); }));
        for (int round = 0; round < 3; ++round) {
            if (newPanel)
                m_created.append(createTypedWindow(kDock, true));
            else
                for (unsigned long w : panels)
                    mapWindow(w);
            QVERIFY2(waitUntil([] { return windowsOfType(kDock, true).isEmpty(); }, 1000),
                     "the panel stays shown");
        }
    }

    // A click on the root window opens no menu, with any button; there is one desktop.
    void rootWindowOpensNoMenu()
    {
        QCOMPARE(x11kit::property(rootWindow(), "_NET_NUMBER_OF_DESKTOPS"), QList<unsigned long>{1});
        const int before = viewableTopLevels();
        for (const char *button : {"1", "2", "3"}) {
            QVERIFY(xdotool({"mousemove", "600", "500", "click", button}));
            QTest::qWait(300);
            QCOMPARE(viewableTopLevels(), before);
        }
    }

private:
    std::unique_ptr<platform::Desktop> m_desktop;
    QList<unsigned long> m_created;
};

QTEST_MAIN(TestX11Desktop)
#include "TestX11Desktop.moc"
