#include "X11ErrorTrap.h"

#include <X11/Xlib.h>

namespace platform::x11 {
namespace {
ErrorTrap *g_innermost = nullptr;
} // namespace

int trapError(::Display *dpy, void *event)
{
    auto *e = static_cast<XErrorEvent *>(event);
    // Errors of other connections belong to whichever trap watches them.
    for (ErrorTrap *t = g_innermost; t; t = t->m_outer) {
        if (t->m_dpy == dpy) {
            t->m_errors.append({e->serial, e->error_code});
            return 0;
        }
    }
    return 0;
}

namespace {
int handler(::Display *dpy, XErrorEvent *event)
{
    return trapError(dpy, event);
}
} // namespace

ErrorTrap::ErrorTrap(::Display *dpy, Mode mode)
    : m_dpy(dpy), m_mode(mode), m_outer(g_innermost)
{
    m_previousHandler = reinterpret_cast<void *>(XSetErrorHandler(handler));
    g_innermost = this;
    if (m_mode == Synced)
        XSync(m_dpy, False);
    m_errors.clear(); // stale errors of earlier requests: dropped, never fatal
}

ErrorTrap::~ErrorTrap()
{
    if (m_mode == Synced)
        XSync(m_dpy, False);
    g_innermost = m_outer;
    XSetErrorHandler(reinterpret_cast<XErrorHandler>(m_previousHandler));
}

const QList<ErrorTrap::Error> &ErrorTrap::sync()
{
    XSync(m_dpy, False);
    return m_errors;
}

} // namespace platform::x11
