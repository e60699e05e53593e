// The panel and desktop windows on X11: every top-level window of type
// _NET_WM_WINDOW_TYPE_DOCK is a "taskbar", of type _NET_WM_WINDOW_TYPE_DESKTOP
// a "desktop". Hiding unmaps them; showing maps exactly those again. Keeping
// the panel hidden listens on our connection: a map on the root, a reparent,
// or a hidden panel mapping itself or changing its state brings a new look.
#include "LinuxServices.h"
#include "X11Connection.h"
#include "X11ErrorTrap.h"

#include <QList>
#include <QSet>
#include <QSocketNotifier>

#include <memory>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace platform::linuxsvc {
namespace {

class X11Desktop : public Desktop
{
public:
    ~X11Desktop() override;
    void showTaskbar(bool show) override;
    void showDesktop(bool show) override;
    void keepTaskbarHidden(bool keep) override;

private:
    struct Hidden {
        Window client;
        Window frame; // the window manager's frame around it, 0 when none
    };
    struct Kind {
        explicit Kind(const char *name) : typeName(name) {}
        const char *typeName;
        Atom type = 0;
        QList<Hidden> hidden;
        bool dirty = true; // something was mapped since the last look
    };

    bool open();
    void readEvents();
    void hide(Kind &kind);
    void restore(Kind &kind);
    QList<Window> candidates();
    bool hasType(Window w, Atom type);

    x11::OwnConnection m_connection;
    ::Display *m_dpy = nullptr;
    Window m_root = 0;
    Atom m_windowType = 0;
    Atom m_clientList = 0;
    Kind m_docks{"_NET_WM_WINDOW_TYPE_DOCK"};
    Kind m_desktops{"_NET_WM_WINDOW_TYPE_DESKTOP"};
    std::unique_ptr<QSocketNotifier> m_keeper;
};

X11Desktop::~X11Desktop() = default;

bool X11Desktop::open()
{
    if (m_dpy)
        return true;
    m_dpy = m_connection.open();
    if (!m_dpy)
        return false;
    m_root = DefaultRootWindow(m_dpy);
    m_windowType = XInternAtom(m_dpy, "_NET_WM_WINDOW_TYPE", False);
    m_clientList = XInternAtom(m_dpy, "_NET_CLIENT_LIST", False);
    m_docks.type = XInternAtom(m_dpy, m_docks.typeName, False);
    m_desktops.type = XInternAtom(m_dpy, m_desktops.typeName, False);
    // Map events tell a re-hide whether anything new can have appeared, so an
    // idle desktop costs no round trips.
    XSelectInput(m_dpy, m_root, SubstructureNotifyMask);
    XFlush(m_dpy);
    return true;
}

void X11Desktop::readEvents()
{
    while (XPending(m_dpy) > 0) {
        XEvent event;
        XNextEvent(m_dpy, &event);
        if (event.type == MapNotify || event.type == ReparentNotify || event.type == PropertyNotify) {
            m_docks.dirty = true;
            m_desktops.dirty = true;
        }
    }
}

bool X11Desktop::hasType(Window w, Atom type)
{
    Atom actual = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    bool found = false;
    if (XGetWindowProperty(m_dpy, w, m_windowType, 0, 32, False, XA_ATOM, &actual, &format, &count,
                           &after, &data) == Success && data) {
        if (actual == XA_ATOM && format == 32) {
            const auto *atoms = reinterpret_cast<const unsigned long *>(data);
            for (unsigned long i = 0; i < count && !found; ++i)
                found = atoms[i] == type;
        }
        XFree(data);
    }
    return found;
}

// Top-level windows as the clients see them: the root's children (windows
// nobody manages) and the window manager's clients (inside their frames).
QList<Window> X11Desktop::candidates()
{
    QList<Window> out;
    Window rootReturn = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (XQueryTree(m_dpy, m_root, &rootReturn, &parent, &children, &count)) {
        for (unsigned i = 0; i < count; ++i)
            out.append(children[i]);
        if (children)
            XFree(children);
    }
    Atom actual = 0;
    int format = 0;
    unsigned long n = 0, after = 0;
    unsigned char *data = nullptr;
    if (XGetWindowProperty(m_dpy, m_root, m_clientList, 0, 4096, False, XA_WINDOW, &actual, &format,
                           &n, &after, &data) == Success && data) {
        if (actual == XA_WINDOW && format == 32) {
            const auto *windows = reinterpret_cast<const unsigned long *>(data);
            for (unsigned long i = 0; i < n; ++i) {
                if (!out.contains(windows[i]))
                    out.append(windows[i]);
            }
        }
        XFree(data);
    }
    return out;
}

void X11Desktop::hide(Kind &kind)
{
    if (!open())
        return;
    readEvents();
    if (!kind.dirty)
        return;
    kind.dirty = false;

    x11::ErrorTrap trap(m_dpy); // windows may vanish while we look at them
    for (Window w : candidates()) {
        XWindowAttributes attrs;
        if (!XGetWindowAttributes(m_dpy, w, &attrs) || attrs.map_state != IsViewable)
            continue;
        if (!hasType(w, kind.type))
            continue;
        Window rootReturn = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(m_dpy, w, &rootReturn, &parent, &children, &count))
            continue;
        if (children)
            XFree(children);
        const Window frame = parent != m_root ? parent : 0;
        // The hidden window's own map and state changes reach us even when
        // its frame is not a child of the root.
        XSelectInput(m_dpy, w, StructureNotifyMask | PropertyChangeMask);
        XUnmapWindow(m_dpy, w);
        if (frame)
            XUnmapWindow(m_dpy, frame);
        bool known = false;
        for (const Hidden &h : kind.hidden)
            known = known || h.client == w;
        if (!known)
            kind.hidden.append({w, frame});
    }
    trap.sync();
    readEvents();
}

void X11Desktop::restore(Kind &kind)
{
    if (!m_dpy || kind.hidden.isEmpty())
        return;
    x11::ErrorTrap trap(m_dpy);
    for (const Hidden &h : std::as_const(kind.hidden)) {
        XSelectInput(m_dpy, h.client, NoEventMask);
        XMapWindow(m_dpy, h.client);
        if (!h.frame)
            continue;
        // A window manager that kept its frame gets it shown again; one that
        // let go of the window (the usual answer to an unmap) made a new one.
        Window rootReturn = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        if (XQueryTree(m_dpy, h.client, &rootReturn, &parent, &children, &count)) {
            if (children)
                XFree(children);
            if (parent == h.frame)
                XMapWindow(m_dpy, h.frame);
        }
    }
    trap.sync();
    kind.hidden.clear();
    kind.dirty = true;
}

void X11Desktop::showTaskbar(bool show)
{
    if (show) {
        m_keeper.reset();
        restore(m_docks);
    } else {
        hide(m_docks);
    }
}

void X11Desktop::keepTaskbarHidden(bool keep)
{
    if (!keep) {
        m_keeper.reset();
        return;
    }
    if (m_keeper || !open())
        return;
    m_keeper = std::make_unique<QSocketNotifier>(ConnectionNumber(m_dpy), QSocketNotifier::Read);
    // hide() reads every queued event, so none waits unseen in Xlib's queue.
    QObject::connect(m_keeper.get(), &QSocketNotifier::activated, [this] { hide(m_docks); });
    hide(m_docks);
}

void X11Desktop::showDesktop(bool show)
{
    if (show)
        restore(m_desktops);
    else
        hide(m_desktops);
}

} // namespace

std::unique_ptr<Desktop> createDesktop()
{
    return std::make_unique<X11Desktop>();
}

} // namespace platform::linuxsvc
