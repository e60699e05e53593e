// The Brindle session: our openbox configuration (running here under
// run-under-xvfb) opens no menus and has one desktop (that it binds no keys
// shows in TestX11Keyboard, whose grabs would be refused); the session script
// starts openbox with it, then the shell, and ends with it.
#include "X11TestKit.h"

#include <QtTest>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#undef KeyPress
#undef KeyRelease
#undef None
#undef Bool
#undef Status

using namespace x11kit;

namespace {

QString source(const QString &relative)
{
    return qEnvironmentVariable("BRINDLE_SOURCE") + QLatin1Char('/') + relative;
}

long rootCardinal(const char *name)
{
    const QList<unsigned long> value = property(rootWindow(), name);
    return value.size() == 1 ? long(value.first()) : -1;
}

// Viewable children of the root: frames, openbox's own windows, its menus.
int viewableTopLevels(::Display *dpy)
{
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    int found = 0;
    if (XQueryTree(dpy, DefaultRootWindow(dpy), &root, &parent, &children, &count)) {
        for (unsigned i = 0; i < count; ++i) {
            XWindowAttributes a;
            if (XGetWindowAttributes(dpy, children[i], &a) && a.map_state == IsViewable)
                ++found;
        }
        if (children)
            XFree(children);
    }

    return found;
}

// A private X server without a window manager, for the session script.
class BareServer
{
public:
    bool start(const QString &folder)
    {
        const QString file = folder + QStringLiteral("/display");
        m_server.start(QStringLiteral("bash"),
                       {"-c", QStringLiteral("exec Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp "
                                             "3>'%1' >/dev/null 2>&1").arg(file)});
        if (!m_server.waitForStarted(5000))
            return false;
        return waitUntil([&] {
            QFile f(file);
            if (!f.open(QIODevice::ReadOnly))
                return false;
            const QByteArray number = f.readAll().trimmed();
            if (number.isEmpty())
                return false;
            m_display = QStringLiteral(":") + QString::fromLatin1(number);
            return true;
        }, 10000);
    }
    ~BareServer()
    {
        m_server.terminate();
        m_server.waitForFinished(5000);
    }

    QString display() const { return m_display; }

private:
    QProcess m_server;
    QString m_display;
};

} // namespace

class TestSession : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(display(), "no X display");
        QVERIFY2(qEnvironmentVariable("BRINDLE_OPENBOX_CONFIG").endsWith(QLatin1String("session/openbox-rc.xml")),
                 "the window manager does not run the session's configuration");
    }

    void noMenuOnTheRootWindow_data()
    {
        QTest::addColumn<int>("button");
        for (int b = 1; b <= 3; ++b)
            QTest::addRow("button %d", b) << b;
    }

    void noMenuOnTheRootWindow()
    {
        QFETCH(int, button);
        ::Display *dpy = display();
        const int before = viewableTopLevels(dpy);
        QVERIFY(xdotool({"mousemove", "600", "500"}));
        QVERIFY(xdotool({"click", QString::number(button)}));
        QTest::qWait(300);
        QCOMPARE(viewableTopLevels(dpy), before);
        QCOMPARE(rootCardinal("_NET_NUMBER_OF_DESKTOPS"), 1L);
        QCOMPARE(rootCardinal("_NET_CURRENT_DESKTOP"), 0L);
        xdotool({"key", "Escape"}); // would close a menu, should one have opened
    }

    // The session script starts openbox with our configuration, then the
    // shell, and ends with the shell, taking openbox with it.
    void sessionScript()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString app = dir.path() + QStringLiteral("/app");
        QVERIFY(QDir().mkpath(app));
        QVERIFY(QFile::copy(source("session/brindle-session"), app + "/brindle-session"));
        QVERIFY(QFile::copy(source("session/openbox-rc.xml"), app + "/openbox-rc.xml"));
        // The shell: notes what it finds, then ends like a quitting shell.
        QFile shell(app + "/brindle");
        QVERIFY(shell.open(QIODevice::WriteOnly));
        shell.write("#!/bin/sh\n"
                    "out=\"$(dirname \"$0\")/shell.out\"\n"
                    "xprop -root _NET_SUPPORTING_WM_CHECK >\"$out\" 2>&1\n"
                    "xprop -root _NET_NUMBER_OF_DESKTOPS >>\"$out\" 2>&1\n"
                    "echo \"pwd-ok args:$#\" >>\"$out\"\n"
                    "sleep 0.3\n");
        shell.close();
        QFile::setPermissions(shell.fileName(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        BareServer server;
        QVERIFY(server.start(dir.path()));

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", server.display());
        env.remove("XAUTHORITY");
        env.insert("XDG_CACHE_HOME", dir.path() + "/cache");
        QProcess session;
        session.setProcessEnvironment(env);
        session.start(app + "/brindle-session");
        QVERIFY(session.waitForStarted(5000));
        QVERIFY2(session.waitForFinished(20000), "the session did not end with the shell");

        QFile out(app + "/shell.out");
        QVERIFY2(out.open(QIODevice::ReadOnly), "the shell did not run");
        const QString notes = QString::fromLocal8Bit(out.readAll());
        QVERIFY2(notes.contains(QLatin1String("pwd-ok args:0")), qPrintable(notes));
        QVERIFY2(notes.contains(QLatin1String("window id #")), qPrintable(notes)); // the WM was up first
        QVERIFY2(notes.contains(QLatin1String("_NET_NUMBER_OF_DESKTOPS(CARDINAL) = 1")), qPrintable(notes));

        // Nothing of the session stays: no window manager on that display.
        ::Display *dpy = XOpenDisplay(server.display().toLatin1().constData());
        QVERIFY(dpy);
        const bool gone = waitUntil([&] {
            Atom actual = 0;
            int format = 0;
            unsigned long n = 0, after = 0;
            unsigned char *data = nullptr;
            XGetWindowProperty(dpy, DefaultRootWindow(dpy), XInternAtom(dpy, "_NET_SUPPORTING_WM_CHECK", False), 0,
                               1, False, XA_WINDOW, &actual, &format, &n, &after, &data);
            bool alive = false;
            if (data) {
                XWindowAttributes a;
                alive = n == 1 && XGetWindowAttributes(dpy, *reinterpret_cast<Window *>(data), &a);
                XFree(data);
            }
            return !alive;
        }, 5000);
        XCloseDisplay(dpy);
        QVERIFY2(gone, "openbox is still running after the shell ended");
    }
};

QTEST_MAIN(TestSession)
#include "TestSession.moc"
