#pragma once

// Reading and asking the window manager through the EWMH/ICCCM properties of
// other clients' windows. Every function copes with a window that vanishes
// while it is being read (it then reads as empty) and does nothing without
// a display.
#include <QHash>
#include <QList>
#include <QString>

#include <optional>

typedef struct _XDisplay Display;

namespace platform::x11::ewmh {

using XWindow = unsigned long;

// A 32-bit property (WINDOW, ATOM, CARDINAL...) of a window; empty when the
// property or the window is missing.
QList<unsigned long> longs(::Display *dpy, XWindow window, const char *property);
std::optional<unsigned long> firstLong(::Display *dpy, XWindow window, const char *property);

// _NET_WM_NAME (UTF-8), else WM_NAME in whatever encoding it carries.
QString title(::Display *dpy, XWindow window);

// A window manager that follows EWMH is running.
bool wmRunning(::Display *dpy);
// The running window manager lists the atom in _NET_SUPPORTED.
bool wmSupports(::Display *dpy, const char *atomName);

// The managed client windows, top-most first (_NET_CLIENT_LIST_STACKING, else
// _NET_CLIENT_LIST); without an EWMH window manager, the mapped top-level
// windows of the root.
QList<XWindow> clientsTopFirst(::Display *dpy);

// A client message about window to the root window, the way pagers and
// taskbars ask the window manager (EWMH "source indication" 2 goes in data).
void sendToRoot(::Display *dpy, XWindow window, const char *messageType,
                const QList<long> &data);
// A WM_PROTOCOLS client message (WM_DELETE_WINDOW, _NET_WM_PING) to window.
void sendProtocol(::Display *dpy, XWindow window, const char *protocol, long time, long extra = 0);

// The process id of the client that owns each window (X-Resource extension;
// else _NET_WM_PID when the window says it comes from this machine). Windows
// whose process is unknown are left out.
QHash<XWindow, qint64> clientPids(::Display *dpy, const QList<XWindow> &windows);
// The process ids the windows name themselves (_NET_WM_PID), for clients on
// this machine only.
QHash<XWindow, qint64> claimedPids(::Display *dpy, const QList<XWindow> &windows);
// The bits of an XID that a client numbers its resources with; the rest names
// the client (X-Resource's client base).
unsigned long resourceMask(::Display *dpy);

// Parent process ids from /proc, remembered across calls of one query.
class ProcessTree
{
public:
    // True when pid is ancestor itself or one of its descendants.
    bool isSelfOrDescendant(qint64 pid, qint64 ancestor);
    static qint64 parentOf(qint64 pid);

private:
    QHash<qint64, qint64> m_parents;
};

} // namespace platform::x11::ewmh
