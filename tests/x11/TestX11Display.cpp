// Screen modes through XRandR on the X server's output (Xvfb's "screen",
// 1280x1024 at depth 24 under run-under-xvfb).
#include "platform/linux/LinuxServices.h"
#include "platform/linux/X11Connection.h"

#include <QProcess>
#include <QTest>

#include <X11/Xlib.h>
#include "platform/linux/XlibUndef.h"

using platform::DisplayMode;

namespace {

QSize rootSize()
{
    XWindowAttributes attrs;
    XGetWindowAttributes(platform::x11::connection(), platform::x11::rootWindow(), &attrs);
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
        // Modes added to the output: name, pixel clock (MHz), horizontal and vertical timings.
        for (const QString mode : {"1024x768_60 65 1024 1040 1056 1344 768 771 774 806",    // 60.00 Hz
                                    "1024x768_60R 56 1024 1040 1056 1184 768 771 774 790",   // 59.87 Hz: also 60
                                    "800x600_75 49.5 800 816 832 1056 600 603 606 625"}) {  // 75.00 Hz
            QCOMPARE(QProcess::execute("xrandr", QStringList{"--newmode"} + mode.split(' ')), 0);
            QCOMPARE(QProcess::execute("xrandr", {"--addmode", "screen", mode.section(' ', 0, 0)}), 0);
        }
    }

    void init()
    {
        m_display = platform::linuxsvc::createDisplay();
        QCOMPARE(m_display->current(), Original);
    }

    void cleanup()
    {
        QVERIFY(m_display->setMode(Original));
        QCOMPARE(m_display->current(), Original);
        QCOMPARE(rootSize(), QSize(1280, 1024));
        m_display.reset();
    }

    void modes()
    {
        // 1024x768 once, although two timings give 60 Hz.
        QCOMPARE(m_display->modes(), (QList<DisplayMode>{Original, {1024, 768, 24, 60}, {800, 600, 24, 75}}));
    }

    void setMode_data()
    {
        QTest::addColumn<DisplayMode>("wanted");
        QTest::addColumn<DisplayMode>("after"); // Original: refused

        QTest::newRow("32 bits per pixel is depth 24") << DisplayMode{1024, 768, 32, 60} << DisplayMode{1024, 768, 24, 60};
        QTest::newRow("depth 16") << DisplayMode{1024, 768, 16, 60} << Original;
        QTest::newRow("rate not offered") << DisplayMode{1024, 768, 24, 85} << Original;
    }

    void setMode()
    {
        QFETCH(DisplayMode, wanted);
        QFETCH(DisplayMode, after);
        QCOMPARE(m_display->setMode(wanted), after != Original);
        QCOMPARE(m_display->current(), after);
        QCOMPARE(rootSize(), QSize(after.width, after.height));
    }

private:
    static constexpr DisplayMode Original{1280, 1024, 24, 0}; // Xvfb's mode has no timings
    std::unique_ptr<platform::Display> m_display;
};

QTEST_GUILESS_MAIN(TestX11Display)
#include "TestX11Display.moc"
