#include "X11Ewmh.h"

#include "X11Connection.h"

#include <QFile>
#include <QSysInfo>

#include <algorithm>
#include <vector>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XRes.h>
#include "XlibUndef.h"

namespace platform::x11::ewmh {
namespace {

constexpr unsigned long NoWindow = 0L;

// Raw bytes of a property: type, format and item count.
struct Property {
    Atom type = 0;
    int format = 0;
    unsigned long items = 0;
    QByteArray data;
};

std::optional<Property> readProperty(::Display *dpy, XWindow window, Atom property, Atom type)
{
    if (!dpy || !window || !property)
        return std::nullopt;
    Atom actualType = 0;
    int actualFormat = 0;
    unsigned long items = 0, after = 0;
    unsigned char *data = nullptr;
    // 1 << 16 longs is far more than any title or window list holds.
    const int rc = XGetWindowProperty(dpy, Window(window), property, 0, 1L << 16, False, type,
                                      &actualType, &actualFormat, &items, &after, &data);
    if (rc != Success || actualType == NoWindow) {
        if (data)
            XFree(data);
        return std::nullopt;
    }
    Property p;
    p.type = actualType;
    p.format = actualFormat;
    p.items = items;
    // Xlib hands format-32 items back as C longs, whatever their size.
    const qsizetype unit = actualFormat == 32 ? qsizetype(sizeof(long)) : actualFormat / 8;
    if (data) {
        p.data = QByteArray(reinterpret_cast<const char *>(data), qsizetype(items) * unit);
        XFree(data);
    }
    return p;
}

QString decodeText(::Display *dpy, const Property &p)
{
    QByteArray bytes = p.data;
    const qsizetype nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    if (p.format != 8)
        return {};
    if (p.type == XA_STRING)
        return QString::fromLatin1(bytes);
    if (p.type == Atom(atom("UTF8_STRING")))
        return QString::fromUtf8(bytes);
    // COMPOUND_TEXT and friends: let Xlib convert.
    QByteArray raw = p.data;
    XTextProperty text;
    text.value = reinterpret_cast<unsigned char *>(raw.data());
    text.encoding = p.type;
    text.format = p.format;
    text.nitems = p.items;
    char **list = nullptr;
    int count = 0;
    QString result;
    if (Xutf8TextPropertyToTextList(dpy, &text, &list, &count) >= Success && list) {
        if (count > 0 && list[0])
            result = QString::fromUtf8(list[0]);
        XFreeStringList(list);
    } else {
        result = QString::fromLatin1(bytes);
    }
    return result;
}

bool hasWmState(::Display *dpy, XWindow window)
{
    return readProperty(dpy, window, atom("WM_STATE"), AnyPropertyType).has_value();
}

// Without an EWMH window manager: the mapped (or ICCCM-managed) top-level
// windows, found below the root and one level of frames.
QList<XWindow> treeClientsBottomFirst(::Display *dpy)
{
    QList<XWindow> result;
    Window root = 0, parent = 0;
    Window *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(dpy, DefaultRootWindow(dpy), &root, &parent, &children, &count))
        return result;
    for (unsigned int i = 0; i < count; ++i) {
        const Window child = children[i];
        XWindowAttributes attrs;
        if (!XGetWindowAttributes(dpy, child, &attrs) || attrs.override_redirect
            || attrs.c_class != InputOutput)
            continue;
        if (hasWmState(dpy, child)) {
            result << child;
            continue;
        }
        Window r = 0, p = 0;
        Window *inner = nullptr;
        unsigned int innerCount = 0;
        XWindow client = 0;
        if (XQueryTree(dpy, child, &r, &p, &inner, &innerCount)) {
            for (unsigned int j = 0; j < innerCount && !client; ++j) {
                if (hasWmState(dpy, inner[j]))
                    client = inner[j];
            }
            if (inner)
                XFree(inner);
        }
        if (!client && attrs.map_state == IsViewable)
            client = child;
        if (client)
            result << client;
    }
    if (children)
        XFree(children);
    return result;
}

bool xresAvailable(::Display *dpy)
{
    static const bool available = [dpy] {
        int event = 0, error = 0, major = 0, minor = 0;
        if (!XResQueryExtension(dpy, &event, &error))
            return false;
        if (!XResQueryVersion(dpy, &major, &minor))
            return false;
        return major > 1 || (major == 1 && minor >= 2); // QueryClientIds came with 1.2
    }();
    return available;
}

QByteArray localHostName()
{
    static const QByteArray name = QSysInfo::machineHostName().toUtf8();
    return name;
}

} // namespace

QList<unsigned long> longs(::Display *dpy, XWindow window, const char *property)
{
    QList<unsigned long> values;
    const auto p = readProperty(dpy, window, atom(property), AnyPropertyType);
    if (!p || p->format != 32)
        return values;
    const auto *items = reinterpret_cast<const unsigned long *>(p->data.constData());
    values.reserve(qsizetype(p->items));
    for (unsigned long i = 0; i < p->items; ++i)
        values << items[i];
    return values;
}

std::optional<unsigned long> firstLong(::Display *dpy, XWindow window, const char *property)
{
    const QList<unsigned long> values = longs(dpy, window, property);
    if (values.isEmpty())
        return std::nullopt;
    return values.first();
}

QString title(::Display *dpy, XWindow window)
{
    if (const auto p = readProperty(dpy, window, atom("_NET_WM_NAME"), atom("UTF8_STRING"))) {
        if (p->type == Atom(atom("UTF8_STRING")))
            return decodeText(dpy, *p);
    }
    if (const auto p = readProperty(dpy, window, XA_WM_NAME, AnyPropertyType))
        return decodeText(dpy, *p);
    return {};
}

bool wmRunning(::Display *dpy)
{
    if (!dpy)
        return false;
    // The check window names itself, so a stale property of a window manager
    // that died does not count.
    const auto check = firstLong(dpy, DefaultRootWindow(dpy), "_NET_SUPPORTING_WM_CHECK");
    return check && *check && firstLong(dpy, *check, "_NET_SUPPORTING_WM_CHECK") == check;
}

bool wmSupports(::Display *dpy, const char *atomName)
{
    if (!dpy)
        return false;
    return longs(dpy, DefaultRootWindow(dpy), "_NET_SUPPORTED").contains(atom(atomName));
}

QList<XWindow> clientsTopFirst(::Display *dpy)
{
    if (!dpy)
        return {};
    const XWindow root = DefaultRootWindow(dpy);
    QList<XWindow> bottomFirst;
    if (wmRunning(dpy)) {
        bottomFirst = longs(dpy, root, "_NET_CLIENT_LIST_STACKING");
        if (bottomFirst.isEmpty())
            bottomFirst = longs(dpy, root, "_NET_CLIENT_LIST");
    } else {
        bottomFirst = treeClientsBottomFirst(dpy);
    }
    std::reverse(bottomFirst.begin(), bottomFirst.end());
    bottomFirst.removeAll(0UL);
    return bottomFirst;
}

void sendToRoot(::Display *dpy, XWindow window, const char *messageType, const QList<long> &data)
{
    if (!dpy)
        return;
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = Window(window);
    event.xclient.message_type = atom(messageType);
    event.xclient.format = 32;
    for (int i = 0; i < 5 && i < data.size(); ++i)
        event.xclient.data.l[i] = data.at(i);
    XSendEvent(dpy, DefaultRootWindow(dpy), False,
               SubstructureNotifyMask | SubstructureRedirectMask, &event);
}

void sendProtocol(::Display *dpy, XWindow window, const char *protocol, long time, long extra)
{
    if (!dpy || !window)
        return;
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = Window(window);
    event.xclient.message_type = atom("WM_PROTOCOLS");
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(atom(protocol));
    event.xclient.data.l[1] = time;
    event.xclient.data.l[2] = extra;
    XSendEvent(dpy, Window(window), False, NoEventMask, &event);
}

// The bits of an XID that a client numbers its resources with; the rest names
// the client. The server gives every client the same mask.
XID resourceMask(::Display *dpy)
{
    // Every client gets the same mask for the server's life: asked once.
    static XID mask = 0;
    if (mask)
        return mask;
    int count = 0;
    XResClient *clients = nullptr;
    if (XResQueryClients(dpy, &count, &clients) == Success && clients) {
        for (int i = 0; i < count && !mask; ++i)
            mask = clients[i].resource_mask;
        XFree(clients);
    }
    if (!mask)
        mask = XID(0x1fffff); // the server's default
    return mask;
}

QHash<XWindow, qint64> clientPids(::Display *dpy, const QList<XWindow> &windows)
{
    QHash<XWindow, qint64> pids;
    if (!dpy || windows.isEmpty())
        return pids;
    QList<XWindow> unplaced;

    if (xresAvailable(dpy)) {
        // One request for all windows. The server answers per client, naming
        // the client by its resource base, which is the window id without the
        // resource bits that every client gets alike.
        std::vector<XResClientIdSpec> wanted(size_t(windows.size()));
        for (size_t i = 0; i < wanted.size(); ++i) {
            wanted[i].client = windows.at(qsizetype(i));
            wanted[i].mask = XRES_CLIENT_ID_PID_MASK;
        }
        long count = 0;
        XResClientIdValue *ids = nullptr;
        QHash<XID, qint64> byBase;
        if (XResQueryClientIds(dpy, long(wanted.size()), wanted.data(), &count, &ids) == Success) {
            for (long i = 0; i < count; ++i) {
                if (ids[i].spec.mask & XRES_CLIENT_ID_PID_MASK) {
                    const pid_t pid = XResGetClientPid(&ids[i]);
                    if (pid > 0)
                        byBase.insert(ids[i].spec.client, pid);
                }
            }
            XResClientIdsDestroy(count, ids);
        }
        const XID mask = resourceMask(dpy);
        for (XWindow w : windows) {
            const auto it = byBase.constFind(XID(w) & ~mask);
            if (it != byBase.constEnd())
                pids.insert(w, *it);
        }
    }

    for (XWindow w : windows)
        if (!pids.contains(w))
            unplaced << w;
    pids.insert(claimedPids(dpy, unplaced));
    return pids;
}

QHash<XWindow, qint64> claimedPids(::Display *dpy, const QList<XWindow> &windows)
{
    QHash<XWindow, qint64> pids;
    // The window's own word for it, trusted only when it runs on this machine.
    for (XWindow w : windows) {
        const auto pid = firstLong(dpy, w, "_NET_WM_PID");
        if (!pid || *pid == 0)
            continue;
        if (const auto machine = readProperty(dpy, w, XA_WM_CLIENT_MACHINE, AnyPropertyType)) {
            QByteArray host = machine->data;
            host.truncate(host.indexOf('\0') >= 0 ? host.indexOf('\0') : host.size());
            if (!host.isEmpty() && host != localHostName())
                continue;
        }
        pids.insert(w, qint64(*pid));
    }
    return pids;
}

bool ProcessTree::isSelfOrDescendant(qint64 pid, qint64 ancestor)
{
    if (pid <= 0 || ancestor <= 0)
        return false;
    // The depth limit guards against a loop should /proc change under us.
    for (int depth = 0; depth < 256 && pid > 0; ++depth) {
        if (pid == ancestor)
            return true;
        if (pid == 1)
            return false;
        auto it = m_parents.constFind(pid);
        if (it == m_parents.constEnd())
            it = m_parents.insert(pid, parentOf(pid));
        pid = *it;
    }
    return false;
}

qint64 ProcessTree::parentOf(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    // "pid (comm) state ppid ...": comm may hold blanks and parentheses.
    const QByteArray line = stat.readAll();
    const qsizetype close = line.lastIndexOf(')');
    if (close < 0)
        return 0;
    const QList<QByteArray> fields = line.mid(close + 2).split(' ');
    return fields.size() > 1 ? fields.at(1).toLongLong() : 0;
}

} // namespace platform::x11::ewmh
