// The windows service against real windows: fixture programs under openbox.
#include "FixtureProcess.h"
#include "X11TestKit.h"

#include "platform/Services.h"
#include "platform/linux/LinuxServices.h"
#include "platform/linux/X11Connection.h"
#include "programs/frmTasks.h"

#include <QApplication>
#include <QFile>
#include <QListWidget>
#include <QProcess>
#include <QTest>
#include <QWidget>

#include <memory>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include "platform/linux/XlibUndef.h"

using platform::WindowId;
using TopLevel = platform::Windows::TopLevel;

class TestX11Windows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(platform::x11::connection(), "needs an X display: run under tests/x11/run-under-xvfb");
        m_dpy = x11kit::display();
        QVERIFY(QFile::exists(FixtureProcess::program()));
    }

    void init() { m_windows = platform::linuxsvc::createWindows(); }

    void cleanup() { m_windows.reset(); }

    // The window is a child process's, and shown only after a while.
    void findMainWindow()
    {
        FixtureProcess fixture({"--title", "Kid", "--child", "--delay-window", "1500"});
        const qint64 child = fixture.waitForLine("child ").value_or("0").toLongLong();
        QVERIFY(child > 0 && child != fixture.pid());
        QCOMPARE(m_windows->findMainWindow(fixture.pid()), WindowId(0));
        const WindowId shown = fixture.waitShown();
        QVERIFY(shown);
        QTRY_COMPARE(m_windows->findMainWindow(fixture.pid()), shown);
        QCOMPARE(m_windows->findMainWindow(child), shown);
        // Its window is also one of a descendant of ours; once it ended, nothing is found.
        QCOMPARE(m_windows->findMainWindow(QCoreApplication::applicationPid()), shown);
        fixture.process().kill();
        QVERIFY(fixture.waitFinished());
        QTRY_COMPARE(m_windows->findMainWindow(QCoreApplication::applicationPid()), WindowId(0));
        QCOMPARE(m_windows->findMainWindow(0), WindowId(0));
        QCOMPARE(m_windows->findMainWindow(-1), WindowId(0));
    }

    void findMainWindowAsksTheServer()
    {
        // A window that names no process: the X server knows which client made
        // it (X-Resource), and that counts.
        const qint64 self = QCoreApplication::applicationPid();
        const Window w = XCreateSimpleWindow(m_dpy, DefaultRootWindow(m_dpy), 10, 10, 200, 100, 0, 0, 0);
        XStoreName(m_dpy, w, "No pid");
        XMapWindow(m_dpy, w);
        XFlush(m_dpy);
        QTRY_VERIFY(listed(w));
        m_windows->activateWindow(w);
        QTRY_COMPARE(m_windows->findMainWindow(self), WindowId(w));
        XDestroyWindow(m_dpy, w);
        XFlush(m_dpy);
        QTRY_COMPARE(m_windows->findMainWindow(self), WindowId(0));
    }

    void setAppFocusRestoresMinimised()
    {
        WindowId a = 0, b = 0;
        auto fa = startShown({"--title", "Focus A"}, &a);
        auto fb = startShown({"--title", "Focus B"}, &b);
        QVERIFY(a && b);

        XIconifyWindow(m_dpy, Window(a), DefaultScreen(m_dpy));
        XFlush(m_dpy);
        QTRY_COMPARE(wmState(a), IconicState);
        QTRY_VERIFY(m_windows->foregroundWindow() != a);
        // Minimised is still there for the user, as on Windows.
        QVERIFY(listed(a)->visible);
        QCOMPARE(m_windows->findMainWindow(fa->pid()), a);

        m_windows->setAppFocus(fa->pid());
        QTRY_COMPARE(wmState(a), NormalState);
        QTRY_COMPARE(m_windows->foregroundWindow(), a);
        QTRY_COMPARE(m_windows->topLevelWindows().value(0).id, a);

        // No window, nothing happens.
        m_windows->setAppFocus(0);
        m_windows->activateWindow(0);
        QCOMPARE(m_windows->foregroundWindow(), a);
    }

    void requestClose_data()
    {
        QTest::addColumn<QStringList>("extraArgs");
        QTest::addColumn<bool>("orderly");

        QTest::newRow("WM_DELETE_WINDOW") << QStringList() << true;
        // Without the protocol the window manager is asked; openbox then
        // disconnects the client.
        QTest::newRow("window manager closes") << QStringList{"--without-protocol", "WM_DELETE_WINDOW"} << false;
    }

    void requestClose()
    {
        QFETCH(QStringList, extraArgs);
        QFETCH(bool, orderly);
        WindowId shown = 0;
        auto fixture = startShown(QStringList{"--title", "Close me"} + extraArgs, &shown);
        QVERIFY(shown);
        WindowId other = 0;
        auto bystander = startShown({"--title", "Stay"}, &other);
        QVERIFY(other);

        m_windows->requestClose(shown);
        QVERIFY(fixture->waitFinished(10000));
        if (orderly) {
            QCOMPARE(fixture->process().exitStatus(), QProcess::NormalExit);
            QCOMPARE(fixture->process().exitCode(), 0);
        }
        QVERIFY(bystander->isRunning());
        QTRY_VERIFY(!listed(shown));
    }

    void pingAnswersComeAsEvents()
    {
        // Our own window answers pings from our own event loop only.
        QWidget own;
        own.setWindowTitle(QStringLiteral("Own window"));
        own.resize(200, 100);
        own.show();
        QVERIFY(QTest::qWaitForWindowExposed(&own));
        QTRY_VERIFY(listed(own.winId()));
        m_windows->ping({own.winId()});
        QVERIFY(m_windows->pingOutstanding(own.winId()));
        QTRY_VERIFY(!m_windows->pingOutstanding(own.winId()));
        // Left out of the list, a window is no longer waited for.
        m_windows->ping({own.winId()});
        m_windows->ping({});
        QVERIFY(!m_windows->pingOutstanding(own.winId()));

        // One that does not offer pings is never waited for (it could not answer).
        WindowId shown = 0;
        auto fixture = startShown({"--title", "No pings", "--without-protocol", "_NET_WM_PING"}, &shown);
        QVERIFY(shown);
        m_windows->ping({shown});
        QVERIFY(!m_windows->pingOutstanding(shown));
    }

    void setTopMost()
    {
        QWidget widget;
        widget.setWindowTitle(QStringLiteral("Top"));
        widget.resize(200, 100);

        // Not shown yet: it still reaches the window manager once shown.
        m_windows->setTopMost(&widget, true);
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
        const WindowId id = widget.winId();
        QTRY_VERIFY(above(id));

        m_windows->setTopMost(&widget, false);
        QTRY_VERIFY(!above(id));
        QVERIFY(widget.isVisible()); // changed in place, never hidden

    }

    // Tool windows and owned windows are no applications of their own: the
    // task list leaves them out, also when it is an application that owns them.
    void taskListShowsApplicationWindows()
    {
        std::vector<std::unique_ptr<FixtureProcess>> fixtures;
        for (const char *kind : {"normal", "tool", "owned", "owned-app"})
            fixtures.push_back(std::make_unique<FixtureProcess>(
                QStringList{"--kind", QLatin1String(kind), "--title", QLatin1String(kind)}));
        const auto listed = [] {
            QListWidget list;
            FillTaskList(&list);
            QStringList titles;
            for (int i = 0; i < list.count(); ++i)
                titles << list.item(i)->text();
            titles.sort();
            return titles;
        };
        const QStringList wanted{"normal", "owned", "owned-app", "owned-app owned"};
        QTRY_COMPARE_WITH_TIMEOUT(listed(), wanted, 15000);
        QTest::qWait(500); // stragglers
        QCOMPARE(listed(), wanted);
    }

    // Looks are answered from the last one while no window reports a change.
    void retitledWindowShowsItsNewTitle()
    {
        QWidget own;
        own.setWindowTitle(QStringLiteral("Before"));
        own.resize(200, 100);
        own.show();
        QVERIFY(QTest::qWaitForWindowExposed(&own));
        QTRY_COMPARE(listed(own.winId()).value_or(TopLevel{}).title, QStringLiteral("Before"));
        own.setWindowTitle(QStringLiteral("After"));
        QTRY_COMPARE(listed(own.winId()).value_or(TopLevel{}).title, QStringLiteral("After"));
    }

private:
    // A fixture whose main window is mapped and managed by the window manager
    // (shown by Qt is not yet managed); its id in *window, 0 when it never came.
    std::unique_ptr<FixtureProcess> startShown(const QStringList &args, WindowId *window)
    {
        auto fixture = std::make_unique<FixtureProcess>(args);
        *window = fixture->waitShown();
        if (!x11kit::waitUntil([&] { return listed(*window).has_value(); }, 10000))
            *window = 0;
        return fixture;
    }

    std::optional<TopLevel> listed(WindowId id)
    {
        for (const TopLevel &t : m_windows->topLevelWindows()) {
            if (t.id == id)
                return t;
        }
        return std::nullopt;
    }

    int wmState(WindowId window) { return int(x11kit::property(window, "WM_STATE").value(0, WithdrawnState)); }
    bool above(WindowId window)
    {
        return x11kit::property(window, "_NET_WM_STATE").contains(XInternAtom(m_dpy, "_NET_WM_STATE_ABOVE", False));
    }

    std::unique_ptr<platform::Windows> m_windows;
    ::Display *m_dpy = nullptr; // the test's own connection, to play the user
};

QTEST_MAIN(TestX11Windows)
#include "TestX11Windows.moc"
