// Screen modes through XRandR on the X server's output (Xvfb's "screen").
#include "platform/linux/LinuxServices.h"
#include "platform/linux/X11Connection.h"

#include <QCoreApplication>
#include <QTest>

#include <cstring>

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>
#include "platform/linux/XlibUndef.h"

using platform::DisplayMode;

namespace {

struct Timing {
    const char *name;
    unsigned int width, height;
    unsigned long dotClock;
    unsigned int hTotal, vTotal;
    unsigned long flags;
};

// Modes the test adds to the output; refresh = dot clock / (h total x v total).
const Timing extraModes[] = {
    {"1024x768_60", 1024, 768, 65000000, 1344, 806, 0},     // 60.00 Hz
    {"1024x768_60R", 1024, 768, 56000000, 1184, 790, 0},    // 59.87 Hz: also 60
    {"800x600_75", 800, 600, 49500000, 1056, 625, 0},       // 75.00 Hz
};

QSize rootSize(::Display *dpy)
{
    XWindowAttributes attrs;
    XGetWindowAttributes(dpy, DefaultRootWindow(dpy), &attrs);
    return {attrs.width, attrs.height};
}

} // namespace

Q_DECLARE_METATYPE(DisplayMode)

class TestX11Display : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(platform::x11::connection(), "needs an X display: run under tests/x11/run-under-xvfb");
        // Our own connection holds the added modes for the test's lifetime.
        m_dpy = XOpenDisplay(nullptr);
        QVERIFY(m_dpy);
        platform::x11::installErrorHandler();
        m_depth = DefaultDepth(m_dpy, DefaultScreen(m_dpy));
        const Window root = DefaultRootWindow(m_dpy);
        XRRScreenResources *res = XRRGetScreenResources(m_dpy, root);
        QVERIFY(res && res->noutput > 0);
        const RROutput output = res->outputs[0];
        for (const Timing &t : extraModes) {
            XRRModeInfo info;
            std::memset(&info, 0, sizeof info);
            info.width = t.width;
            info.height = t.height;
            info.dotClock = t.dotClock;
            info.hTotal = t.hTotal;
            info.hSyncStart = t.width + 16;
            info.hSyncEnd = t.width + 32;
            info.vTotal = t.vTotal;
            info.vSyncStart = t.height + 3;
            info.vSyncEnd = t.height + 6;
            info.modeFlags = t.flags;
            QByteArray name(t.name);
            info.name = name.data();
            info.nameLength = unsigned(name.size());
            const RRMode mode = XRRCreateMode(m_dpy, root, &info);
            QVERIFY(mode);
            XRRAddOutputMode(m_dpy, output, mode);
        }
        XRRFreeScreenResources(res);
        XSync(m_dpy, False);
    }

    void cleanupTestCase()
    {
        if (m_dpy)
            XCloseDisplay(m_dpy);
    }

    void init()
    {
        m_display = platform::linuxsvc::createDisplay();
        m_original = m_display->current();
        QCOMPARE(m_original, (DisplayMode{1280, 1024, m_depth, 0})); // Xvfb's mode has no timings
    }

    void cleanup()
    {
        QVERIFY(m_display->setMode(m_original));
        QCOMPARE(m_display->current(), m_original);
        QCOMPARE(rootSize(m_dpy), QSize(1280, 1024));
        m_display.reset();
    }

    void modes()
    {
        const QList<DisplayMode> modes = m_display->modes();
        const QList<DisplayMode> expected = {
            {1280, 1024, m_depth, 0},
            {1024, 768, m_depth, 60}, // once, although two timings give 60 Hz
            {800, 600, m_depth, 75},
        };
        QCOMPARE(modes, expected);
    }

    void setMode_data()
    {
        QTest::addColumn<DisplayMode>("wanted");
        QTest::addColumn<bool>("result");
        QTest::addColumn<DisplayMode>("after"); // bits per pixel 0: the root depth

        const DisplayMode unchanged{1280, 1024, 0, 0};
        QTest::newRow("1024x768 at 60") << DisplayMode{1024, 768, 24, 60} << true << DisplayMode{1024, 768, 0, 60};
        QTest::newRow("32 bits per pixel is depth 24") << DisplayMode{1024, 768, 32, 60} << true << DisplayMode{1024, 768, 0, 60};
        QTest::newRow("depth 16") << DisplayMode{1024, 768, 16, 60} << false << unchanged;
        QTest::newRow("rate not offered") << DisplayMode{1024, 768, 24, 85} << false << unchanged;
    }

    void setMode()
    {
        QFETCH(DisplayMode, wanted);
        QFETCH(bool, result);
        QFETCH(DisplayMode, after);
        if (m_depth != 24)
            QSKIP("the rows assume a 24-bit root window");
        after.bitsPerPixel = m_depth;
        QCOMPARE(m_display->setMode(wanted), result);
        QCOMPARE(m_display->current(), after);
        QCOMPARE(rootSize(m_dpy), QSize(after.width, after.height));
    }

private:
    ::Display *m_dpy = nullptr;
    std::unique_ptr<platform::Display> m_display;
    DisplayMode m_original;
    int m_depth = 0;
};

QTEST_GUILESS_MAIN(TestX11Display)
#include "TestX11Display.moc"
