#include "X11Connection.h"

#include "X11ErrorTrap.h"

#include <QByteArray>
#include <QHash>

#include <X11/Xlib.h>

namespace platform::x11 {
namespace {

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

OwnConnection::~OwnConnection()
{
    if (m_dpy)
        XCloseDisplay(m_dpy);
}

::Display *OwnConnection::open()
{
    if (!m_tried) {
        m_tried = true;
        m_dpy = openConnection();
    }
    return m_dpy;
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
    ErrorTrap trap(dpy);
    work();
    return trap.sync().isEmpty();
}

} // namespace platform::x11
