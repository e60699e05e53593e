#include "X11TestKit.h"

#include "TestEnv.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace x11kit {

bool waitUntil(const std::function<bool()> &done, int ms)
{
    QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired())
            return done();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
    return true;
}

bool xdotool(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral("xdotool"), args);
    return p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

::Display *display()
{
    static ::Display *dpy = XOpenDisplay(nullptr);
    return dpy;
}

namespace {
int ignoreErrors(::Display *, XErrorEvent *) { return 0; }
struct Quiet {
    Quiet() { XSetErrorHandler(ignoreErrors); }
} g_quiet;

void collect(Window w, int depth, QList<Window> &out)
{
    out.append(w);
    if (depth == 0)
        return;
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display(), w, &root, &parent, &children, &count))
        return;
    for (unsigned i = 0; i < count; ++i)
        collect(children[i], depth - 1, out);
    if (children)
        XFree(children);
}
} // namespace

QList<unsigned long> viewableTopLevels(int depth)
{
    QList<Window> all;
    collect(DefaultRootWindow(display()), depth, all);
    all.removeIf([](Window w) { return w == DefaultRootWindow(display()) || !isViewable(w); });
    return all;
}

QList<unsigned long> property(unsigned long window, const char *name)
{
    ::Display *dpy = display();
    Atom actual = 0;
    int format = 0;
    unsigned long n = 0, after = 0;
    unsigned char *data = nullptr;
    QList<unsigned long> items;
    if (XGetWindowProperty(dpy, window, XInternAtom(dpy, name, False), 0, 4096, False, AnyPropertyType, &actual,
                           &format, &n, &after, &data) == Success && data && format == 32)
        for (unsigned long i = 0; i < n; ++i)
            items.append(reinterpret_cast<unsigned long *>(data)[i]);
    if (data)
        XFree(data);
    return items;
}

bool isViewable(unsigned long window)
{
    XWindowAttributes a;
    XSync(display(), False);
    return XGetWindowAttributes(display(), window, &a) && a.map_state == IsViewable;
}

QList<unsigned long> windowsOfType(const char *typeName)
{
    const Atom type = XInternAtom(display(), typeName, False);
    QList<Window> all = viewableTopLevels(2);
    all.removeIf([type](Window w) { return !property(w, "_NET_WM_WINDOW_TYPE").contains(type); });
    return all;
}

unsigned long frameOf(unsigned long client)
{
    Window w = client;
    for (;;) {
        Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(display(), w, &root, &parent, &children, &count))
            return 0;
        if (children)
            XFree(children);
        if (parent == root || parent == 0)
            return w;
        w = parent;
    }
}

QList<QRect> viewableInside(unsigned long window)
{
    QList<Window> all;
    collect(window, 8, all);
    QList<QRect> out;
    for (Window w : all) {
        XWindowAttributes a;
        Window child = 0;
        int x = 0, y = 0;
        if (w != window && isViewable(w) && XGetWindowAttributes(display(), w, &a)
            && XTranslateCoordinates(display(), w, DefaultRootWindow(display()), 0, 0, &x, &y, &child))
            out.append(QRect(x, y, a.width, a.height));
    }
    return out;
}

void tapKeys(const QStringList &keys)
{
    ::Display *dpy = display();
    for (const QString &combination : keys) {
        QList<int> codes;
        for (const QString &name : combination.split(QLatin1Char('+')))
            codes.append(XKeysymToKeycode(dpy, XStringToKeysym(name.toLatin1().constData())));
        for (int code : codes)
            XTestFakeKeyEvent(dpy, code, True, 0);
        for (auto code = codes.crbegin(); code != codes.crend(); ++code)
            XTestFakeKeyEvent(dpy, *code, False, 0);
    }
    XSync(dpy, False);
}

bool keyboardFree()
{
    ::Display *dpy = display();
    if (XGrabKeyboard(dpy, DefaultRootWindow(dpy), False, GrabModeAsync, GrabModeAsync, CurrentTime)
        != GrabSuccess)
        return false;
    XUngrabKeyboard(dpy, CurrentTime);
    XSync(dpy, False);
    return true;
}

bool KeyFixture::start()
{
    m_process = std::make_unique<FixtureProcess>(
        QStringList{"--title", "KeyFixture", "--keylog", m_dir.filePath(QStringLiteral("keys.log"))});
    m_window = m_process->waitShown(10000);
    return m_window != 0 && focus();
}

bool KeyFixture::focus()
{
    const QString id = QString::number(m_window);
    xdotool({"windowactivate", "--sync", id});
    return waitUntil([&] {
        Window focused = 0;
        int revert = 0;
        XGetInputFocus(display(), &focused, &revert);
        if (focused == m_window)
            return true;
        xdotool({"windowfocus", "--sync", id});
        return false;
    }, 5000);
}

QStringList KeyFixture::lines() const
{
    return readLines(m_dir.filePath(QStringLiteral("keys.log"))).mid(m_consumed);
}

QStringList KeyFixture::takeLines()
{
    // F13-F24 are not on the test keyboard; "Hiragana" is and nothing grabs it.
    xdotool({"key", "Hiragana"});
    QStringList got;
    waitUntil([&] {
        got = lines();
        return got.contains(QStringLiteral("release Hiragana"));
    }, 5000);
    m_consumed += int(got.size());
    return got.mid(0, got.indexOf(QStringLiteral("press Hiragana")));
}

} // namespace x11kit
