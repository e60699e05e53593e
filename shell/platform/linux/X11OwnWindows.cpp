// Our own windows on X11: Qt's connection hears their structure events (a
// native event filter), our connection reads where they are and has the
// window manager put them back, and one more connection of ours holds the
// active grabs of keyboard and pointer.
#include "LinuxServices.h"
#include "X11Connection.h"
#include "X11Ewmh.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QHash>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>

#include <xcb/xproto.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include "XlibUndef.h"

#include <memory>

namespace platform::linuxsvc {
namespace {

bool onX11()
{
    return QGuiApplication::platformName() == QLatin1String("xcb") && x11::connection();
}

class X11OwnWindows : public OwnWindows, public QAbstractNativeEventFilter
{
public:
    ~X11OwnWindows() override
    {
        if (m_watching && QCoreApplication::instance())
            QCoreApplication::instance()->removeNativeEventFilter(this);
        releaseInput();
    }

    void watch(std::function<void(QWidget *)> changed) override
    {
        m_changed = std::move(changed);
        if (!m_watching && onX11()) {
            QCoreApplication::instance()->installNativeEventFilter(this);
            m_watching = true;
        }
    }

    bool nativeEventFilter(const QByteArray &type, void *message, qintptr *) override
    {
        if (type != "xcb_generic_event_t")
            return false;
        const auto *event = static_cast<const xcb_generic_event_t *>(message);
        xcb_window_t window = 0;
        switch (event->response_type & ~0x80) {
        case XCB_UNMAP_NOTIFY:
            window = reinterpret_cast<const xcb_unmap_notify_event_t *>(event)->window;
            break;
        case XCB_CONFIGURE_NOTIFY:
            window = reinterpret_cast<const xcb_configure_notify_event_t *>(event)->window;
            break;
        case XCB_MAP_NOTIFY:
            window = reinterpret_cast<const xcb_map_notify_event_t *>(event)->window;
            break;
        case XCB_PROPERTY_NOTIFY: {
            // A frame put around a window managed anew moves it as well.
            const auto *property = reinterpret_cast<const xcb_property_notify_event_t *>(event);
            if (property->atom != x11::atom("_NET_FRAME_EXTENTS"))
                return false;
            window = property->window;
            break;
        }
        case XCB_REPARENT_NOTIFY: {
            // The window manager's frame moves without our window moving in
            // it, so its own events are heard on our connection.
            const auto *reparent = reinterpret_cast<const xcb_reparent_notify_event_t *>(event);
            if (QWidget *widget = ownWindow(reparent->window))
                watchFrame(reparent->parent, widget);
            return false;
        }
        default:
            return false;
        }
        report(ownWindow(window));
        return false;
    }

    std::optional<QRect> frameOf(QWidget *widget) override
    {
        ::Display *dpy = x11::connection();
        const Window window = widget ? Window(widget->internalWinId()) : 0;
        if (!window || !onX11())
            return std::nullopt;
        std::optional<QRect> frame;
        x11::withoutErrors([&] {
            XWindowAttributes attrs;
            Window child = 0;
            int x = 0;
            int y = 0;
            if (!XGetWindowAttributes(dpy, window, &attrs) || attrs.map_state != IsViewable
                || !XTranslateCoordinates(dpy, window, attrs.root, 0, 0, &x, &y, &child))
                return;
            QRect rect(x, y, attrs.width, attrs.height);
            // Left, right, top, bottom.
            const QList<unsigned long> extents = x11::ewmh::longs(dpy, window, "_NET_FRAME_EXTENTS");
            if (extents.size() == 4)
                rect.adjust(-int(extents[0]), -int(extents[2]), int(extents[1]), int(extents[3]));
            frame = rect;
        });
        return frame;
    }

    void showAt(QWidget *widget, std::optional<QPoint> frameTopLeft) override
    {
        ::Display *dpy = x11::connection();
        const Window window = widget ? Window(widget->internalWinId()) : 0;
        if (!window || !onX11())
            return;
        x11::withoutErrors([&] {
            XMapWindow(dpy, window);
            if (!frameTopLeft)
                return;
            // Static gravity: the place of the window itself, inside its frame.
            const QList<unsigned long> extents = x11::ewmh::longs(dpy, window, "_NET_FRAME_EXTENTS");
            const QPoint inner
                = *frameTopLeft + (extents.size() == 4 ? QPoint(int(extents[0]), int(extents[2])) : QPoint());
            constexpr long moveXY = StaticGravity | (1 << 8) | (1 << 9) | (2 << 12);
            x11::ewmh::sendToRoot(dpy, window, "_NET_MOVERESIZE_WINDOW", {moveXY, inner.x(), inner.y(), 0, 0});
        });
    }

    bool takeInput(std::function<void()> onClick) override
    {
        ::Display *dpy = onX11() ? m_grab.open() : nullptr;
        if (!dpy)
            return false;
        const Window root = DefaultRootWindow(dpy);
        if (XGrabPointer(dpy, root, False, ButtonPressMask, GrabModeAsync, GrabModeAsync, 0, 0, CurrentTime)
            != GrabSuccess)
            return false;
        if (XGrabKeyboard(dpy, root, False, GrabModeAsync, GrabModeAsync, CurrentTime) != GrabSuccess) {
            XUngrabPointer(dpy, CurrentTime);
            XFlush(dpy);
            return false;
        }
        m_grabbed = true;
        m_onClick = std::move(onClick);
        if (!m_notifier) {
            m_notifier = std::make_unique<QSocketNotifier>(ConnectionNumber(dpy), QSocketNotifier::Read);
            QObject::connect(m_notifier.get(), &QSocketNotifier::activated, &m_context, [this] { readInput(); });
        }
        return true;
    }

    void releaseInput() override
    {
        m_onClick = nullptr;
        if (!m_grabbed)
            return;
        m_grabbed = false;
        ::Display *dpy = m_grab.open();
        XUngrabKeyboard(dpy, CurrentTime);
        XUngrabPointer(dpy, CurrentTime);
        XFlush(dpy);
    }

private:
    static QWidget *ownWindow(unsigned long window)
    {
        for (QWidget *widget : QApplication::topLevelWidgets())
            if (widget->internalWinId() == window)
                return widget;
        return nullptr;
    }

    // Once the event has been handled by Qt too.
    void report(QWidget *widget)
    {
        if (!widget)
            return;
        QTimer::singleShot(0, &m_context, [this, target = QPointer<QWidget>(widget)] {
            if (target && m_changed)
                m_changed(target);
        });
    }

    void watchFrame(unsigned long frame, QWidget *widget)
    {
        ::Display *dpy = m_frames.open();
        if (!dpy || frame == DefaultRootWindow(dpy))
            return;
        XSelectInput(dpy, frame, StructureNotifyMask);
        XFlush(dpy);
        m_frameOf.insert(frame, widget);
        if (!m_frameNotifier) {
            m_frameNotifier = std::make_unique<QSocketNotifier>(ConnectionNumber(dpy), QSocketNotifier::Read);
            QObject::connect(m_frameNotifier.get(), &QSocketNotifier::activated, &m_context, [this] { readFrames(); });
        }
    }

    void readFrames()
    {
        ::Display *dpy = m_frames.open();
        while (dpy && XPending(dpy) > 0) {
            XEvent event;
            XNextEvent(dpy, &event);
            if (event.type == DestroyNotify)
                m_frameOf.remove(event.xdestroywindow.window);
            else if (event.type == ConfigureNotify || event.type == UnmapNotify)
                report(m_frameOf.value(event.xany.window));
        }
    }

    void readInput()
    {
        ::Display *dpy = m_grab.open();
        bool clicked = false;
        while (dpy && XPending(dpy) > 0) {
            XEvent event;
            XNextEvent(dpy, &event);
            clicked = clicked || event.type == ButtonPress;
        }
        // The handler may release the input, and with it itself.
        if (const std::function<void()> onClick = m_onClick; clicked && onClick)
            onClick();
    }

    QObject m_context;
    std::function<void(QWidget *)> m_changed;
    bool m_watching = false;
    x11::OwnConnection m_frames;
    std::unique_ptr<QSocketNotifier> m_frameNotifier;
    QHash<unsigned long, QPointer<QWidget>> m_frameOf;
    x11::OwnConnection m_grab;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::function<void()> m_onClick;
    bool m_grabbed = false;
};

} // namespace

std::unique_ptr<OwnWindows> createOwnWindows()
{
    return std::make_unique<X11OwnWindows>();
}

} // namespace platform::linuxsvc
