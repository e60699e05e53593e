#include "X11Connection.h"

#include <QByteArray>
#include <QHash>

#include <X11/Xlib.h>

namespace platform::x11 {
namespace {

int g_lastError = 0;

int recordError(::Display *, XErrorEvent *event)
{
    g_lastError = event->error_code;
    return 0;
}

// Xlib's default handler ends the process on any error, e.g. BadWindow for a
// window that another program closed while we looked at it. A shell that
// ends there leaves the desktop hidden, so errors outside a trap are ignored.
int ignoreError(::Display *, XErrorEvent *)
{
    return 0;
}

} // namespace

::Display *openConnection()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return nullptr;
    XInitThreads();
    ::Display *opened = XOpenDisplay(nullptr);
    if (opened)
        installErrorHandler();
    return opened;
}

::Display *connection()
{
    static ::Display *dpy = openConnection();
    return dpy;
}

unsigned long rootWindow()
{
    ::Display *dpy = connection();
    return dpy ? DefaultRootWindow(dpy) : 0;
}

unsigned long atom(const char *name)
{
    static QHash<QByteArray, Atom> cache;
    ::Display *dpy = connection();
    if (!dpy)
        return 0;
    const QByteArray key(name);
    auto it = cache.constFind(key);
    if (it != cache.constEnd())
        return *it;
    const Atom a = XInternAtom(dpy, name, False);
    cache.insert(key, a);
    return a;
}

void installErrorHandler()
{
    static const bool installed = [] {
        XSetErrorHandler(ignoreError);
        return true;
    }();
    Q_UNUSED(installed);
}

bool withoutErrors(const std::function<void()> &work)
{
    return withoutErrors(connection(), work);
}

bool withoutErrors(::Display *dpy, const std::function<void()> &work)
{
    if (!dpy)
        return false;
    XSync(dpy, False);
    g_lastError = 0;
    auto previous = XSetErrorHandler(recordError);
    work();
    XSync(dpy, False);
    XSetErrorHandler(previous);
    return g_lastError == 0;
}

} // namespace platform::x11
