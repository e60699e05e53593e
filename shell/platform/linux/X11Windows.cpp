// Windows of other programs, through the window manager (EWMH/ICCCM).
#include "LinuxServices.h"

#include "X11Connection.h"
#include "X11ErrorTrap.h"
#include "X11Ewmh.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QSet>
#include <QSocketNotifier>
#include <QWindow>
#include <QWidget>

#include <algorithm>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/XRes.h>
#include <xcb/xcb.h>
#include "XlibUndef.h"

namespace platform::linuxsvc {
namespace {

namespace ewmh = x11::ewmh;
using ewmh::XWindow;
using x11::atom;

// EWMH source indications: a program about its own window, or a pager or
// taskbar acting for the user (which the window manager always obeys).
constexpr long SourceApplication = 1;
constexpr long SourcePager = 2;
constexpr long StateRemove = 0;
constexpr long StateAdd = 1;

// Asks windows for a _NET_WM_PING answer. The answer goes to the root window,
// so it runs on a connection of its own that selects the root's substructure
// events only while a ping is out: the shared connection's events belong to
// whoever reads them there (the key grabs), and nobody else should have to
// wade through every window move on the screen. Nothing here waits: answers
// are read as they come, and whoever asks reads what has come so far.
class PingChannel
{
public:
    ~PingChannel()
    {
        delete m_notifier;
        if (m_dpy)
            XCloseDisplay(m_dpy);
    }

    // Pings the windows that have no ping out; forgets the ones not listed.
    void ping(const QList<XWindow> &windows)
    {
        drain();
        for (auto it = m_out.begin(); it != m_out.end();)
            it = windows.contains(it.key()) ? std::next(it) : m_out.erase(it);
        QList<XWindow> fresh;
        for (XWindow window : windows)
            if (!m_out.contains(window))
                fresh.append(window);
        if (!fresh.isEmpty() && open()) {
            listen(true); // before asking, or a quick answer goes unheard
            // Not even the server is waited for. A window that is gone never
            // answers, but it is nobody's main window at the next look either,
            // and then it is no longer listed.
            for (XWindow window : std::as_const(fresh)) {
                ewmh::sendProtocol(m_dpy, window, "_NET_WM_PING", ++m_serial, long(window));
                m_out.insert(window, m_serial);
            }
            XFlush(m_dpy);
        }
        listen(!m_out.isEmpty());
    }

    bool outstanding(XWindow window)
    {
        drain();
        return m_out.contains(window);
    }

private:
    bool open()
    {
        if (!m_dpy) {
            if (m_failed || !x11::connection())
                return false;
            m_dpy = x11::openConnection();
            if (!m_dpy) {
                m_failed = true;
                return false;
            }
        }
        if (!m_notifier && QCoreApplication::instance()) {
            m_notifier = new QSocketNotifier(ConnectionNumber(m_dpy), QSocketNotifier::Read);
            QObject::connect(m_notifier, &QSocketNotifier::activated, m_notifier, [this] { drain(); });
        }
        return true;
    }

    // EWMH has clients answer with SubstructureNotify|SubstructureRedirect;
    // Qt 6 answers with StructureNotify|SubstructureRedirect. Hear both, and
    // only while an answer is awaited.
    void listen(bool on)
    {
        if (!m_dpy || m_listening == on)
            return;
        m_listening = on;
        XSelectInput(m_dpy, DefaultRootWindow(m_dpy), on ? SubstructureNotifyMask | StructureNotifyMask : NoEventMask);
        XFlush(m_dpy);
    }

    // Reads every queued event; an answer to a window's latest ping ends its wait.
    void drain()
    {
        if (!m_dpy)
            return;
        const long pingAtom = long(atom("_NET_WM_PING"));
        const Atom protocols = atom("WM_PROTOCOLS");
        bool answered = false;
        while (XPending(m_dpy) > 0) {
            XEvent event;
            XNextEvent(m_dpy, &event);
            if (event.type != ClientMessage || event.xclient.message_type != protocols
                || event.xclient.data.l[0] != pingAtom)
                continue;
            const XWindow window = XWindow(event.xclient.data.l[2]);
            const auto it = m_out.constFind(window);
            if (it != m_out.constEnd() && *it == event.xclient.data.l[1]) {
                m_out.erase(it);
                answered = true;
            }
        }
        if (answered)
            listen(!m_out.isEmpty());
    }

    ::Display *m_dpy = nullptr;
    bool m_failed = false;
    bool m_listening = false;
    QSocketNotifier *m_notifier = nullptr;
    long m_serial = 0x4272; // any start will do; clients echo it back
    QHash<XWindow, long> m_out; // windows whose latest ping is unanswered, with its stamp
};

// What a task list needs to know of a client window.
struct ClientLooks {
    QString title;
    bool shown = false;
    XWindow owner = 0;            // WM_TRANSIENT_FOR; 0 for none
    QList<unsigned long> types;   // _NET_WM_WINDOW_TYPE, in order of preference
    QList<unsigned long> states;  // _NET_WM_STATE
};

// The client windows of an EWMH window manager, top first, and the process
// of each, for supervision several times a second: the properties go out
// together on an xcb connection of our own while the X-Resource question (for
// every client at once) runs on Xlib's, so the answers cost one round trip
// instead of one per question. The root, the clients and the check window
// send their changes to that connection, so while none comes the last answers
// are given again without asking the server at all: an idle desktop costs no
// round trip. No value when the window manager does not run or X-Resource is
// missing; the caller then looks the slower way.
class ClientLook
{
public:
    struct Clients {
        QList<XWindow> topFirst;
        QHash<XWindow, qint64> pids;
    };

    ~ClientLook()
    {
        delete m_notifier;
        if (m_xcb)
            xcb_disconnect(m_xcb);
    }

    std::optional<Clients> look(::Display *dpy)
    {
        if (!open())
            return std::nullopt;
        if (m_last && unchanged())
            return m_last;
        m_changed = false;
        m_last.reset();
        m_lastLooks.reset();
        const XWindow root = DefaultRootWindow(dpy);
        const xcb_atom_t check = xcb_atom_t(atom("_NET_SUPPORTING_WM_CHECK"));
        const auto ask = [this](XWindow window, xcb_atom_t property) {
            return xcb_get_property(m_xcb, 0, xcb_window_t(window), property, XCB_ATOM_WINDOW, 0, 1u << 16);
        };
        const xcb_get_property_cookie_t rootCheck = ask(root, check);
        const xcb_get_property_cookie_t selfCheck = ask(m_check ? m_check : root, check);
        const xcb_get_property_cookie_t stacking = ask(root, xcb_atom_t(atom("_NET_CLIENT_LIST_STACKING")));
        const xcb_get_property_cookie_t list = ask(root, xcb_atom_t(atom("_NET_CLIENT_LIST")));
        xcb_flush(m_xcb);

        // Meanwhile, the processes of the clients seen last time (most are
        // the same from one look to the next).
        const XID mask = ewmh::resourceMask(dpy);
        QHash<XID, qint64> byBase;
        QSet<XID> asked;
        bool resOk = pidsOf(dpy, m_seen, mask, byBase, asked);
        const QList<XWindow> rootSays = windows(rootCheck);
        const QList<XWindow> selfSays = windows(selfCheck);
        QList<XWindow> bottomFirst = windows(stacking);
        const QList<XWindow> listed = windows(list);
        if (!resOk)
            m_seen.clear(); // asked afresh next time
        if (!resOk || xcb_connection_has_error(m_xcb))
            return std::nullopt;
        // The check window names itself, so a stale property of a window
        // manager that died does not count; a new one is checked once.
        const XWindow named = rootSays.value(0, 0);
        if (!named)
            return std::nullopt;
        if (named != m_check || selfSays.value(0, 0) != m_check) {
            if (ewmh::firstLong(dpy, named, "_NET_SUPPORTING_WM_CHECK") != named)
                return std::nullopt;
            m_check = named;
        }
        if (bottomFirst.isEmpty())
            bottomFirst = listed;
        std::reverse(bottomFirst.begin(), bottomFirst.end());
        bottomFirst.removeAll(0UL);

        // Clients that came since are asked about now.
        QList<XWindow> fresh;
        for (XWindow w : std::as_const(bottomFirst))
            if (!asked.contains(XID(w) & ~mask))
                fresh << w;
        if (resOk && !fresh.isEmpty())
            resOk = pidsOf(dpy, fresh, mask, byBase, asked);
        m_seen = resOk ? bottomFirst : QList<XWindow>();
        if (!resOk)
            return std::nullopt;

        Clients clients{bottomFirst, {}};
        for (XWindow w : std::as_const(clients.topFirst)) {
            const auto it = byBase.constFind(XID(w) & ~mask);
            if (it != byBase.constEnd())
                clients.pids.insert(w, *it);
        }
        // Before anyone asks about the new clients, so that no change after
        // the answers goes unheard.
        watch(bottomFirst);
        m_last = clients;
        return clients;
    }

    // What the task list shows of each client, asked for all of them at once
    // on the same connection: one round trip instead of six per window. No
    // value when the connection failed; the caller then looks the slower way.
    std::optional<QHash<XWindow, ClientLooks>> describe(::Display *dpy, const QList<XWindow> &clients)
    {
        if (!open())
            return std::nullopt;
        if (m_lastLooks && m_lastLooksOf == clients && unchanged())
            return m_lastLooks;
        const auto ask = [this](XWindow window, const char *property) {
            return xcb_get_property(m_xcb, 0, xcb_window_t(window), xcb_atom_t(atom(property)),
                                    XCB_GET_PROPERTY_TYPE_ANY, 0, 1u << 16);
        };
        struct Asked {
            xcb_get_property_cookie_t netName, name, wmState, owner, types, states;
            xcb_get_window_attributes_cookie_t attributes;
        };
        QList<Asked> asked;
        for (XWindow w : clients)
            asked << Asked{ask(w, "_NET_WM_NAME"), ask(w, "WM_NAME"), ask(w, "WM_STATE"),
                           ask(w, "WM_TRANSIENT_FOR"), ask(w, "_NET_WM_WINDOW_TYPE"),
                           ask(w, "_NET_WM_STATE"), xcb_get_window_attributes(m_xcb, xcb_window_t(w))};
        xcb_flush(m_xcb);

        QHash<XWindow, ClientLooks> result;
        for (qsizetype i = 0; i < clients.size(); ++i) {
            const XWindow w = clients.at(i);
            const Asked &a = asked.at(i);
            ClientLooks look;
            const Reply netName = reply(a.netName);
            const Reply name = reply(a.name);
            if (netName.type == atom("UTF8_STRING"))
                look.title = netName.text();
            else if (name.type == XCB_ATOM_STRING)
                look.title = QString::fromLatin1(name.bytes());
            else if (name.type == atom("UTF8_STRING"))
                look.title = name.text();
            else if (name.type != XCB_ATOM_NONE)
                look.title = ewmh::title(dpy, w); // compound text: Xlib converts it
            const QList<XWindow> wmState = reply(a.wmState).longs();
            xcb_generic_error_t *error = nullptr;
            xcb_get_window_attributes_reply_t *attributes =
                xcb_get_window_attributes_reply(m_xcb, a.attributes, &error);
            free(error);
            look.shown = wmState.isEmpty()
                             ? attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE
                             : wmState.first() == NormalState || wmState.first() == IconicState;
            free(attributes);
            look.owner = reply(a.owner).longs().value(0, 0);
            look.types = reply(a.types).longs();
            look.states = reply(a.states).longs();
            result.insert(w, look);
        }
        if (xcb_connection_has_error(m_xcb))
            return std::nullopt;
        m_lastLooks = result;
        m_lastLooksOf = clients;
        return result;
    }

private:
    // A property's reply; errors (a window gone meanwhile) read as no property.
    struct Reply {
        xcb_atom_t type = XCB_ATOM_NONE;
        uint8_t format = 0;
        QByteArray data;

        QByteArray bytes() const
        {
            const qsizetype nul = data.indexOf('\0');
            return format == 8 ? (nul >= 0 ? data.left(nul) : data) : QByteArray();
        }
        QString text() const { return QString::fromUtf8(bytes()); }
        QList<XWindow> longs() const
        {
            QList<XWindow> result;
            if (format != 32)
                return result;
            const auto *items = reinterpret_cast<const uint32_t *>(data.constData());
            for (qsizetype i = 0; i < data.size() / 4; ++i)
                result << XWindow(items[i]);
            return result;
        }
    };

    Reply reply(xcb_get_property_cookie_t cookie)
    {
        // Errors are taken here, or they would pile up among the events
        // nobody reads on this connection.
        xcb_generic_error_t *error = nullptr;
        xcb_get_property_reply_t *answer = xcb_get_property_reply(m_xcb, cookie, &error);
        free(error);
        Reply r;
        if (!answer)
            return r;
        r.type = answer->type;
        r.format = answer->format;
        r.data = QByteArray(static_cast<const char *>(xcb_get_property_value(answer)),
                            xcb_get_property_value_length(answer));
        free(answer);
        return r;
    }

    // One X-Resource request for the clients of these windows; an empty list asks nothing.
    static bool pidsOf(::Display *dpy, const QList<XWindow> &windows, XID mask, QHash<XID, qint64> &byBase,
                       QSet<XID> &asked)
    {
        if (windows.isEmpty())
            return true;
        std::vector<XResClientIdSpec> wanted;
        wanted.reserve(size_t(windows.size()));
        for (XWindow w : windows) {
            wanted.push_back({XID(w), XRES_CLIENT_ID_PID_MASK});
            asked.insert(XID(w) & ~mask);
        }
        long count = 0;
        XResClientIdValue *ids = nullptr;
        bool ok = false;
        {
            x11::ErrorTrap trap(dpy, x11::ErrorTrap::RepliesOnly);
            ok = XResQueryClientIds(dpy, long(wanted.size()), wanted.data(), &count, &ids) == Success;
        }
        if (!ok)
            return false;
        for (long i = 0; i < count; ++i) {
            const pid_t pid = (ids[i].spec.mask & XRES_CLIENT_ID_PID_MASK) ? XResGetClientPid(&ids[i]) : -1;
            if (pid > 0)
                byBase.insert(ids[i].spec.client, pid);
        }
        XResClientIdsDestroy(count, ids);
        return true;
    }

    bool open()
    {
        if (!m_xcb && !m_failed) {
            m_xcb = xcb_connect(nullptr, nullptr);
            if (xcb_connection_has_error(m_xcb)) {
                xcb_disconnect(m_xcb);
                m_xcb = nullptr;
                m_failed = true;
                return false;
            }
            // The window manager's lists change on the root window.
            const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
            xcb_change_window_attributes(m_xcb, xcb_setup_roots_iterator(xcb_get_setup(m_xcb)).data->root,
                                         XCB_CW_EVENT_MASK, &mask);
            // Read as they come, so that they do not pile up while nobody looks.
            if (QCoreApplication::instance()) {
                m_notifier = new QSocketNotifier(xcb_get_file_descriptor(m_xcb), QSocketNotifier::Read);
                QObject::connect(m_notifier, &QSocketNotifier::activated, m_notifier, [this] { unchanged(); });
            }
        }
        return m_xcb;
    }

    // Every client (and the window manager's check window) tells this
    // connection when a property changes, it is mapped, unmapped or goes.
    void watch(const QList<XWindow> &clients)
    {
        QSet<XWindow> now(clients.cbegin(), clients.cend());
        if (m_check)
            now.insert(m_check);
        const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        for (XWindow w : std::as_const(now))
            if (!m_watched.contains(w))
                xcb_change_window_attributes(m_xcb, xcb_window_t(w), XCB_CW_EVENT_MASK, &mask);
        m_watched = now;
    }

    // No event came since the last look, so its answers still hold. Any event
    // counts: an error of a window gone before it was watched as well.
    bool unchanged()
    {
        while (xcb_generic_event_t *event = xcb_poll_for_event(m_xcb)) {
            free(event);
            m_changed = true;
        }
        return !m_changed && !xcb_connection_has_error(m_xcb);
    }

    QList<XWindow> windows(xcb_get_property_cookie_t cookie) { return reply(cookie).longs(); }

    xcb_connection_t *m_xcb = nullptr;
    bool m_failed = false;
    XWindow m_check = 0; // the window manager's check window, once confirmed
    QList<XWindow> m_seen; // the clients of the last look
    QSocketNotifier *m_notifier = nullptr;
    QSet<XWindow> m_watched;
    bool m_changed = false; // an event came since the last look
    std::optional<Clients> m_last;
    std::optional<QHash<XWindow, ClientLooks>> m_lastLooks;
    QList<XWindow> m_lastLooksOf;
};

enum class WindowType { Normal, Dialog, Tool, Other };

WindowType windowType(const QList<unsigned long> &types, bool transient)
{
    static const char *const toolTypes[] = {
        "_NET_WM_WINDOW_TYPE_UTILITY", "_NET_WM_WINDOW_TYPE_TOOLBAR",
        "_NET_WM_WINDOW_TYPE_MENU", "_NET_WM_WINDOW_TYPE_DOCK",
        "_NET_WM_WINDOW_TYPE_DESKTOP", "_NET_WM_WINDOW_TYPE_DROPDOWN_MENU",
        "_NET_WM_WINDOW_TYPE_POPUP_MENU", "_NET_WM_WINDOW_TYPE_TOOLTIP",
        "_NET_WM_WINDOW_TYPE_NOTIFICATION", "_NET_WM_WINDOW_TYPE_COMBO",
        "_NET_WM_WINDOW_TYPE_DND"};
    // The list is in order of preference; the first type we know counts.
    for (unsigned long type : types) {
        if (type == atom("_NET_WM_WINDOW_TYPE_NORMAL"))
            return WindowType::Normal;
        if (type == atom("_NET_WM_WINDOW_TYPE_DIALOG"))
            return WindowType::Dialog;
        if (type == atom("_NET_WM_WINDOW_TYPE_SPLASH"))
            return WindowType::Other;
        for (const char *tool : toolTypes) {
            if (type == atom(tool))
                return WindowType::Tool;
        }
    }
    // No type: a transient window is a dialog, any other a normal one.
    return transient ? WindowType::Dialog : WindowType::Normal;
}

class X11Windows : public Windows
{
public:
    WindowId findMainWindow(Pid pid) override
    {
        return findMainWindows({pid}).value(pid, 0);
    }

    QHash<Pid, WindowId> findMainWindows(const QList<Pid> &wanted) override
    {
        QHash<Pid, WindowId> found;
        for (Pid pid : wanted)
            found.insert(pid, 0);
        ::Display *dpy = x11::connection();
        if (!dpy || wanted.isEmpty())
            return found;
        QList<XWindow> clients;
        QHash<XWindow, qint64> pids;
        if (std::optional<ClientLook::Clients> quick = m_clients.look(dpy)) {
            clients = quick->topFirst;
            pids = quick->pids;
            // Clients that X-Resource cannot place (on another machine) say it themselves.
            QList<XWindow> unplaced;
            for (XWindow w : std::as_const(clients))
                if (!pids.contains(w))
                    unplaced << w;
            if (!unplaced.isEmpty())
                pids.insert(ewmh::claimedPids(dpy, unplaced));
        } else {
            clients = ewmh::clientsTopFirst(dpy);
            pids = ewmh::clientPids(dpy, clients);
        }
        ewmh::ProcessTree tree;
        for (Pid pid : wanted) {
            if (pid <= 0)
                continue;
            for (XWindow w : clients) {
                const auto it = pids.constFind(w);
                if (it != pids.constEnd() && tree.isSelfOrDescendant(*it, pid)) {
                    found[pid] = w;
                    break;
                }
            }
        }
        return found;
    }

    void setAppFocus(Pid pid) override
    {
        activateWindow(findMainWindow(pid));
    }

    void activateWindow(WindowId window) override
    {
        ::Display *dpy = x11::connection();
        if (!dpy || !window)
            return;
        x11::withoutErrors([&] {
            const XWindow w = XWindow(window);
            // ICCCM: a client restores an iconic window by mapping it.
            const auto state = ewmh::firstLong(dpy, w, "WM_STATE");
            if (state && *state == IconicState)
                XMapWindow(dpy, Window(w));
            if (ewmh::wmRunning(dpy) && ewmh::wmSupports(dpy, "_NET_ACTIVE_WINDOW")) {
                const long current = long(ewmh::firstLong(dpy, DefaultRootWindow(dpy), "_NET_ACTIVE_WINDOW")
                                              .value_or(0));
                ewmh::sendToRoot(dpy, w, "_NET_ACTIVE_WINDOW", {SourcePager, CurrentTime, current});
                const bool restack = ewmh::wmSupports(dpy, "_NET_RESTACK_WINDOW");
                if (restack)
                    ewmh::sendToRoot(dpy, w, "_NET_RESTACK_WINDOW", {SourcePager, 0, Above});
                else
                    XRaiseWindow(dpy, Window(w));
                // A window that takes no keyboard focus (a clock, say) is kept
                // under the active window by some window managers; then our
                // own windows step back behind it instead.
                if (restack && !takesFocus(dpy, w))
                    for (const QWindow *own : QGuiApplication::topLevelWindows())
                        if (own->isVisible() && own->handle() && XWindow(own->winId()) != w)
                            ewmh::sendToRoot(dpy, XWindow(own->winId()), "_NET_RESTACK_WINDOW",
                                             {SourcePager, long(w), Below});
            } else {
                XMapRaised(dpy, Window(w));
                XSetInputFocus(dpy, Window(w), RevertToParent, CurrentTime);
            }
        });
    }

    WindowId foregroundWindow() override
    {
        ::Display *dpy = x11::connection();
        if (!dpy)
            return 0;
        WindowId result = 0;
        x11::withoutErrors([&] {
            if (ewmh::wmRunning(dpy)) {
                result = ewmh::firstLong(dpy, DefaultRootWindow(dpy), "_NET_ACTIVE_WINDOW").value_or(0);
                return;
            }
            Window focus = 0;
            int revert = 0;
            XGetInputFocus(dpy, &focus, &revert);
            if (focus == 0 || focus == PointerRoot)
                return;
            result = topLevelOf(dpy, focus);
        });
        return result;
    }

    void requestClose(WindowId window) override
    {
        ::Display *dpy = x11::connection();
        if (!dpy || !window)
            return;
        x11::withoutErrors([&] {
            const XWindow w = XWindow(window);
            if (ewmh::longs(dpy, w, "WM_PROTOCOLS").contains(atom("WM_DELETE_WINDOW")))
                ewmh::sendProtocol(dpy, w, "WM_DELETE_WINDOW", CurrentTime);
            else if (ewmh::wmRunning(dpy))
                ewmh::sendToRoot(dpy, w, "_NET_CLOSE_WINDOW", {CurrentTime, SourcePager});
        });
    }

    // Alt+F4 closes a window through the window manager's key binding, and the
    // Brindle session's openbox binds no keys. So after the key events (for
    // programs that read the keys themselves) the window manager is asked to
    // close the window, as its binding would.
    void sendAltF4() override
    {
        ::Display *dpy = x11::connection();
        if (!dpy)
            return;
        const WindowId target = foregroundWindow();
        x11::withoutErrors([&] {
            int event = 0, error = 0, major = 0, minor = 0;
            if (XTestQueryExtension(dpy, &event, &error, &major, &minor)) {
                const KeyCode alt = XKeysymToKeycode(dpy, XK_Alt_L);
                const KeyCode f4 = XKeysymToKeycode(dpy, XK_F4);
                if (alt && f4) {
                    XTestFakeKeyEvent(dpy, alt, True, CurrentTime);
                    XTestFakeKeyEvent(dpy, f4, True, CurrentTime);
                    XTestFakeKeyEvent(dpy, f4, False, CurrentTime);
                    XTestFakeKeyEvent(dpy, alt, False, CurrentTime);
                }
            }
        });
        if (!target)
            return;
        if (ewmh::wmRunning(dpy) && ewmh::wmSupports(dpy, "_NET_CLOSE_WINDOW")) {
            x11::withoutErrors([&] {
                ewmh::sendToRoot(dpy, XWindow(target), "_NET_CLOSE_WINDOW", {CurrentTime, SourcePager});
            });
        } else {
            requestClose(target);
        }
    }

    void ping(const QList<WindowId> &windows) override
    {
        // Whether a window offers pings is read once: a program sets its
        // protocols before it shows the window. A window that does not offer
        // them counts as answering; one that is gone offers nothing, and the
        // next look drops it.
        QHash<XWindow, bool> offers;
        QList<XWindow> unknown;
        for (WindowId window : windows) {
            const auto known = m_offersPing.constFind(XWindow(window));
            if (known != m_offersPing.constEnd())
                offers.insert(known.key(), *known);
            else if (window && !unknown.contains(XWindow(window)))
                unknown.append(XWindow(window));
        }
        ::Display *dpy = x11::connection();
        if (dpy && !unknown.isEmpty()) {
            x11::withoutErrors([&] {
                for (XWindow window : std::as_const(unknown))
                    offers.insert(window, ewmh::longs(dpy, window, "WM_PROTOCOLS").contains(atom("_NET_WM_PING")));
            });
        }
        m_offersPing = offers;
        QList<XWindow> pinged;
        for (auto it = offers.cbegin(); it != offers.cend(); ++it)
            if (*it)
                pinged.append(it.key());
        m_ping.ping(pinged);
    }

    bool pingOutstanding(WindowId window) override { return m_ping.outstanding(XWindow(window)); }

    QString windowTitle(WindowId window) override
    {
        ::Display *dpy = x11::connection();
        if (!dpy || !window)
            return {};
        QString title;
        x11::withoutErrors([&] { title = ewmh::title(dpy, XWindow(window)); });
        return title;
    }

    QList<TopLevel> topLevelWindows() override
    {
        QList<TopLevel> result;
        ::Display *dpy = x11::connection();
        if (!dpy)
            return result;
        QList<XWindow> clients;
        QHash<XWindow, qint64> pids;
        QHash<XWindow, ClientLooks> looks;
        std::optional<ClientLook::Clients> quick = m_clients.look(dpy);
        std::optional<QHash<XWindow, ClientLooks>> described;
        if (quick)
            described = m_clients.describe(dpy, quick->topFirst);
        if (described) {
            clients = quick->topFirst;
            pids = quick->pids;
            looks = *described;
        } else {
            x11::withoutErrors([&] {
                clients = ewmh::clientsTopFirst(dpy);
                pids = ewmh::clientPids(dpy, clients);
                for (XWindow w : std::as_const(clients))
                    looks.insert(w, {ewmh::title(dpy, w), isShown(dpy, w),
                                     ewmh::firstLong(dpy, w, "WM_TRANSIENT_FOR").value_or(0),
                                     ewmh::longs(dpy, w, "_NET_WM_WINDOW_TYPE"),
                                     ewmh::longs(dpy, w, "_NET_WM_STATE")});
            });
        }
        const XWindow root = DefaultRootWindow(dpy);
        const QSet<XWindow> managed(clients.cbegin(), clients.cend());
        for (XWindow w : std::as_const(clients)) {
            const ClientLooks &look = looks[w];
            TopLevel t;
            t.id = w;
            t.pid = pids.value(w);
            t.title = look.title;
            t.visible = look.shown;
            // Managed client windows are top-level windows of their program.
            t.hasParent = false;
            // Transient for the root or for a hidden "group leader" window
            // (as toolkits do for parentless dialogs) is owned by no window.
            t.hasOwner = look.owner != 0 && look.owner != root && look.owner != w && managed.contains(look.owner);
            const WindowType type = windowType(look.types, look.owner != 0);
            const bool skipTaskbar = look.states.contains(atom("_NET_WM_STATE_SKIP_TASKBAR"));
            t.toolWindow = type == WindowType::Tool || skipTaskbar;
            t.appWindow = t.hasOwner && type == WindowType::Normal && !skipTaskbar;
            result << t;
        }
        return result;
    }

    void setTopMost(QWidget *widget, bool onTop) override
    {
        if (!widget)
            return;
        QWidget *window = widget->window();
        widget->setProperty("brindleTopMost", onTop);
        if (window != widget)
            window->setProperty("brindleTopMost", onTop);
        if (!window->isVisible()) {
            // Qt sets the state when it maps the window.
            if (window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) != onTop)
                window->setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
            return;
        }
        // Keep Qt's idea of the flags in step without re-creating the window,
        // so that hiding and showing it again keeps the state.
        Qt::WindowFlags flags = window->windowFlags();
        flags.setFlag(Qt::WindowStaysOnTopHint, onTop);
        window->overrideWindowFlags(flags);

        // Only on the X11 platform is the window id an X window.
        ::Display *dpy = x11::connection();
        if (!dpy || QGuiApplication::platformName() != QLatin1String("xcb"))
            return;
        const XWindow w = XWindow(window->winId());
        x11::withoutErrors([&] {
            ewmh::sendToRoot(dpy, w, "_NET_WM_STATE",
                             {onTop ? StateAdd : StateRemove, long(atom("_NET_WM_STATE_ABOVE")), 0,
                              SourceApplication});
        });
    }

private:
    // Normal or minimised (iconic): the window is there for the user, as a
    // minimised window on Windows stays visible.
    static bool isShown(::Display *dpy, XWindow w)
    {
        if (const auto state = ewmh::firstLong(dpy, w, "WM_STATE"))
            return *state == NormalState || *state == IconicState;
        XWindowAttributes attrs;
        return XGetWindowAttributes(dpy, Window(w), &attrs) && attrs.map_state == IsViewable;
    }

    // The child of the root that holds window (a frame or the window itself).
    // ICCCM: no input hint, or one that says yes, or WM_TAKE_FOCUS.
    static bool takesFocus(::Display *dpy, XWindow window)
    {
        bool input = true;
        if (XWMHints *hints = XGetWMHints(dpy, Window(window))) {
            if (hints->flags & InputHint)
                input = hints->input != 0;
            XFree(hints);
        }
        return input || ewmh::longs(dpy, window, "WM_PROTOCOLS").contains(atom("WM_TAKE_FOCUS"));
    }

    static WindowId topLevelOf(::Display *dpy, Window window)
    {
        const Window root = DefaultRootWindow(dpy);
        for (int depth = 0; depth < 64 && window && window != root; ++depth) {
            Window r = 0, parent = 0;
            Window *children = nullptr;
            unsigned int count = 0;
            if (!XQueryTree(dpy, window, &r, &parent, &children, &count))
                return 0;
            if (children)
                XFree(children);
            if (parent == root)
                return window;
            window = parent;
        }
        return 0;
    }

    PingChannel m_ping;
    ClientLook m_clients;
    QHash<XWindow, bool> m_offersPing; // of the windows pinged last
};

} // namespace

std::unique_ptr<Windows> createWindows()
{
    return std::make_unique<X11Windows>();
}

} // namespace platform::linuxsvc
