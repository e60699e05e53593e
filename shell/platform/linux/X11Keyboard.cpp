// The keyboard service on X11: passive key grabs swallow keys, an active
// keyboard grab captures them, XInput2 raw events hear every typed key.
// It has its own connection, so the events it reads are nobody else's.
#include "LinuxServices.h"
#include "TypedKeyText.h"
#include "VirtualKeyTable.h"
#include "X11Connection.h"
#include "X11ErrorTrap.h"

#include <QCoreApplication>
#include <QHash>
#include <QMap>
#include <QObject>
#include <QSet>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/keysym.h>

#include <memory>

namespace platform::linuxsvc {
namespace {

constexpr unsigned kAnyModifier = AnyModifier;

// The grabs wanted on one key: either AnyModifier alone or a set of masks.
struct KeyGrabs {
    QMap<unsigned, QString> masks; // modifier mask -> what it is for (for the log)
    bool operator==(const KeyGrabs &o) const { return masks.keys() == o.masks.keys(); }
};
using GrabPlan = QMap<int, KeyGrabs>; // keycode -> grabs

class X11Keyboard : public Keyboard
{
public:
    ~X11Keyboard() override;

    bool installKeyGrabs(const QList<int> &virtualKeys) override;
    void removeKeyGrabs() override;
    QStringList refusedGrabs() const override { return m_refused; }

    bool startCapture(std::function<void(int)> onKey, std::function<void()> onFinished) override;
    void stopCapture() override;

    bool startTypingMonitor(std::function<void(const QString &)> onKey) override;
    void stopTypingMonitor() override;

private:
    enum class Capture { Off, On, Closing };

    bool open();
    void scheduleRead();
    void readEvents();
    void handle(XEvent &event);
    void keymapChanged();

    unsigned modifierOf(KeySym keysym, unsigned fallback) const;
    GrabPlan plan() const;
    void applyGrabs(const GrabPlan &wanted);
    int virtualKeyOf(int keycode, unsigned state) const;

    void captureKey(const XKeyEvent &key);
    void releaseKeyboard();
    void keyTyped(int keycode);

    x11::OwnConnection m_connection;
    ::Display *m_dpy = nullptr;
    Window m_root = 0;
    QObject m_context;
    std::unique_ptr<QSocketNotifier> m_notifier;
    bool m_readScheduled = false;
    unsigned m_numLockMask = Mod2Mask;
    unsigned m_altMask = Mod1Mask;

    bool m_grabbing = false;
    QList<int> m_grabKeys;
    GrabPlan m_active;
    QStringList m_refused;

    Capture m_capture = Capture::Off;
    std::function<void(int)> m_onCaptureKey;
    std::function<void()> m_onCaptureDone;
    int m_escapeKeycode = 0;
    QTimer *m_releaseTimer = nullptr;

    bool m_typing = false;
    std::function<void(const QString &)> m_onTyped;
    int m_xiOpcode = -1;
    int m_xkbEventBase = -1;
    unsigned m_xkbState = 0;
};

X11Keyboard::~X11Keyboard()
{
    if (!m_dpy)
        return;
    removeKeyGrabs();
    if (m_capture != Capture::Off)
        releaseKeyboard();
    stopTypingMonitor();
    m_notifier.reset();
}

bool X11Keyboard::open()
{
    if (m_dpy)
        return true;
    m_dpy = m_connection.open();
    if (!m_dpy)
        return false;
    m_root = DefaultRootWindow(m_dpy);
    if (QCoreApplication::instance()) {
        m_notifier = std::make_unique<QSocketNotifier>(ConnectionNumber(m_dpy), QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, &m_context,
                         [this] { readEvents(); });
        m_releaseTimer = new QTimer(&m_context);
        m_releaseTimer->setSingleShot(true);
        m_releaseTimer->setInterval(1000);
        QObject::connect(m_releaseTimer, &QTimer::timeout, &m_context, [this] {
            if (m_capture == Capture::Closing)
                releaseKeyboard();
        });
    }
    int opcode = 0, error = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
    if (!XkbQueryExtension(m_dpy, &opcode, &m_xkbEventBase, &error, &major, &minor))
        m_xkbEventBase = -1;
    m_numLockMask = modifierOf(XK_Num_Lock, Mod2Mask);
    m_altMask = modifierOf(XK_Alt_L, Mod1Mask);
    return true;
}

// Round trips read events into Xlib's queue, where the socket notifier no
// longer sees them; look at the queue once control is back in the loop.
void X11Keyboard::scheduleRead()
{
    if (!m_dpy || m_readScheduled || !QCoreApplication::instance())
        return;
    m_readScheduled = true;
    QTimer::singleShot(0, &m_context, [this] {
        m_readScheduled = false;
        readEvents();
    });
}

void X11Keyboard::readEvents()
{
    while (m_dpy && XPending(m_dpy) > 0) {
        XEvent event;
        XNextEvent(m_dpy, &event);
        handle(event);
    }
}

void X11Keyboard::handle(XEvent &event)
{
    if (event.type == GenericEvent) {
        XGenericEventCookie *cookie = &event.xcookie;
        if (cookie->extension == m_xiOpcode && XGetEventData(m_dpy, cookie)) {
            if (cookie->evtype == XI_RawKeyPress && m_typing)
                keyTyped(static_cast<XIRawEvent *>(cookie->data)->detail);
            XFreeEventData(m_dpy, cookie);
        }
        return;
    }
    if (m_xkbEventBase >= 0 && event.type == m_xkbEventBase) {
        auto *xkb = reinterpret_cast<XkbEvent *>(&event);
        if (xkb->any.xkb_type == XkbStateNotify) {
            m_xkbState = XkbBuildCoreState(xkb->state.mods, xkb->state.group);
        } else if (xkb->any.xkb_type == XkbMapNotify) {
            XkbRefreshKeyboardMapping(&xkb->map);
            keymapChanged();
        } else if (xkb->any.xkb_type == XkbNewKeyboardNotify) {
            keymapChanged();
        }
        return;
    }
    switch (event.type) {
    case MappingNotify:
        XRefreshKeyboardMapping(&event.xmapping);
        if (event.xmapping.request != MappingPointer)
            keymapChanged();
        break;
    case KeyPress:
        if (m_capture == Capture::On)
            captureKey(event.xkey);
        break;
    case KeyRelease:
        // Escape's release is swallowed too; then the keyboard goes back.
        if (m_capture == Capture::Closing && int(event.xkey.keycode) == m_escapeKeycode)
            releaseKeyboard();
        break;
    default:
        break;
    }
}

// Keys moved (xmodmap, a layout switch, a tool that types by remapping):
// the grabs follow the keys.
void X11Keyboard::keymapChanged()
{
    m_numLockMask = modifierOf(XK_Num_Lock, Mod2Mask);
    m_altMask = modifierOf(XK_Alt_L, Mod1Mask);
    if (m_grabbing)
        applyGrabs(plan());
}

unsigned X11Keyboard::modifierOf(KeySym keysym, unsigned fallback) const
{
    XModifierKeymap *map = XGetModifierMapping(m_dpy);
    if (!map)
        return fallback;
    unsigned mask = 0;
    for (int mod = 0; mod < 8 && !mask; ++mod) {
        for (int i = 0; i < map->max_keypermod; ++i) {
            const KeyCode code = map->modifiermap[mod * map->max_keypermod + i];
            if (code && XkbKeycodeToKeysym(m_dpy, code, 0, 0) == keysym) {
                mask = 1u << mod;
                break;
            }
        }
    }
    XFreeModifiermap(map);
    return mask ? mask : fallback;
}

// Every grab the current key set needs on the current keyboard map.
GrabPlan X11Keyboard::plan() const
{
    GrabPlan wanted;
    const QSet<int> table(m_grabKeys.cbegin(), m_grabKeys.cend());

    auto addMasks = [&](int keycode, unsigned required, unsigned excluded, const QString &what) {
        KeyGrabs &g = wanted[keycode];
        if (g.masks.contains(kAnyModifier))
            return;
        for (unsigned m = 0; m < 256; ++m) {
            if ((m & required) == required && !(m & excluded) && !g.masks.contains(m))
                g.masks.insert(m, what);
        }
    };
    auto addAny = [&](int keycode, const QString &what) {
        KeyGrabs &g = wanted[keycode];
        if (!g.masks.contains(kAnyModifier))
            g.masks = {{kAnyModifier, what}};
    };
    auto keyName = [](int vk, KeySym sym) {
        const char *name = XKeysymToString(sym);
        return QStringLiteral("key %1 (%2)").arg(vk).arg(QString::fromLatin1(name ? name : "?"));
    };

    int minCode = 8, maxCode = 255;
    XDisplayKeycodes(m_dpy, &minCode, &maxCode);
    for (int code = minCode; code <= maxCode; ++code) {
        const KeySym plain = XkbKeycodeToKeysym(m_dpy, KeyCode(code), 0, 0);
        if (plain == NoSymbol)
            continue;
        const KeySym shifted = XkbKeycodeToKeysym(m_dpy, KeyCode(code), 0, 1);
        const int vkPlain = vk::fromKeysym(plain);
        // Keypad keys change their code with Num Lock (Insert / Numpad 0).
        const bool keypad = vk::isKeypad(shifted) && shifted != plain;
        const int vkNum = keypad ? vk::fromKeysym(shifted) : vkPlain;

        // The table first: AnyModifier covers the fixed combinations too.
        const bool plainIn = vkPlain && table.contains(vkPlain);
        const bool numIn = vkNum && table.contains(vkNum);
        if (plainIn && numIn)
            addAny(code, keyName(vkPlain, plain));
        else if (plainIn)
            addMasks(code, 0, m_numLockMask, keyName(vkPlain, plain));
        else if (numIn)
            addMasks(code, m_numLockMask, 0, keyName(vkNum, shifted));

        // Fixed combinations, with every other modifier (Lock, Num Lock,
        // Shift, ...) as well: Alt+Shift+Tab switches windows just the same.
        if (vkPlain == 9)
            addMasks(code, m_altMask, 0, QStringLiteral("Alt+Tab"));
        if (vkPlain == 27) {
            addMasks(code, m_altMask, 0, QStringLiteral("Alt+Esc"));
            addMasks(code, ControlMask, 0, QStringLiteral("Ctrl+Esc"));
        }
        if (vkPlain == 91)
            addAny(code, QStringLiteral("left Windows key (Super_L)"));
    }
    for (auto it = wanted.begin(); it != wanted.end();) {
        if (it->masks.isEmpty())
            it = wanted.erase(it);
        else
            ++it;
    }
    return wanted;
}

// Brings the server's grabs to `wanted`, key by key. A key whose grabs change
// is released whole and taken again, since AnyModifier overlaps every mask.
void X11Keyboard::applyGrabs(const GrabPlan &wanted)
{
    x11::ErrorTrap trap(m_dpy);
    struct Sent {
        int keycode;
        unsigned mask;
    };
    QHash<unsigned long, Sent> sent; // request serial -> grab
    for (auto it = m_active.cbegin(); it != m_active.cend(); ++it) {
        if (!(wanted.contains(it.key()) && wanted.value(it.key()) == it.value()))
            XUngrabKey(m_dpy, it.key(), kAnyModifier, m_root);
    }
    GrabPlan result;
    for (auto it = wanted.cbegin(); it != wanted.cend(); ++it) {
        if (m_active.contains(it.key()) && m_active.value(it.key()) == it.value()) {
            result.insert(it.key(), m_active.value(it.key()));
            continue;
        }
        for (auto m = it->masks.cbegin(); m != it->masks.cend(); ++m) {
            sent.insert(NextRequest(m_dpy), {it.key(), m.key()});
            XGrabKey(m_dpy, it.key(), m.key(), m_root, True, GrabModeAsync, GrabModeAsync);
        }
        result.insert(it.key(), it.value());
    }
    QSet<QString> refused;
    for (const auto &error : trap.sync()) {
        auto s = sent.constFind(error.serial);
        if (s == sent.constEnd())
            continue;
        KeyGrabs &g = result[s->keycode];
        if (error.code == BadAccess)
            refused.insert(g.masks.value(s->mask));
        g.masks.remove(s->mask);
    }
    for (auto it = result.begin(); it != result.end();) {
        if (it->masks.isEmpty())
            it = result.erase(it);
        else
            ++it;
    }
    m_active = result;
    for (const QString &what : refused) {
        if (!m_refused.contains(what))
            m_refused.append(what);
    }
    scheduleRead();
}

bool X11Keyboard::installKeyGrabs(const QList<int> &virtualKeys)
{
    if (!open())
        return false;
    m_grabKeys = virtualKeys;
    m_grabbing = true;
    m_refused.clear();
    applyGrabs(plan());
    return !m_active.isEmpty();
}

void X11Keyboard::removeKeyGrabs()
{
    if (!m_dpy || !m_grabbing)
        return;
    m_grabbing = false;
    m_grabKeys.clear();
    applyGrabs({});
}

int X11Keyboard::virtualKeyOf(int keycode, unsigned state) const
{
    const int group = (state >> 13) & 3;
    KeySym sym = XkbKeycodeToKeysym(m_dpy, KeyCode(keycode), group, 0);
    const KeySym shifted = XkbKeycodeToKeysym(m_dpy, KeyCode(keycode), group, 1);
    if ((state & m_numLockMask) && vk::isKeypad(shifted))
        sym = shifted;
    return vk::fromKeysym(sym);
}

bool X11Keyboard::startCapture(std::function<void(int)> onKey, std::function<void()> onFinished)
{
    if (!open())
        return false;
    if (m_capture == Capture::Off) {
        // Someone else may hold the keyboard for a moment (an open menu).
        int status = AlreadyGrabbed;
        for (int attempt = 0; attempt < 50; ++attempt) {
            status = XGrabKeyboard(m_dpy, m_root, False, GrabModeAsync, GrabModeAsync, CurrentTime);
            if (status == GrabSuccess)
                break;
            QThread::msleep(20);
        }
        if (status != GrabSuccess)
            return false;
    }
    if (m_releaseTimer)
        m_releaseTimer->stop();
    m_onCaptureKey = std::move(onKey);
    m_onCaptureDone = std::move(onFinished);
    m_capture = Capture::On;
    scheduleRead();
    return true;
}

void X11Keyboard::captureKey(const XKeyEvent &key)
{
    const KeySym plain = XkbKeycodeToKeysym(m_dpy, KeyCode(key.keycode), 0, 0);
    if (plain == XK_Escape) {
        // Keep the keyboard until Escape is released, so nobody sees half of it.
        m_capture = Capture::Closing;
        m_escapeKeycode = int(key.keycode);
        if (m_releaseTimer)
            m_releaseTimer->start();
        auto done = std::move(m_onCaptureDone);
        m_onCaptureKey = nullptr;
        m_onCaptureDone = nullptr;
        if (done)
            done();
        return;
    }
    const int vk = virtualKeyOf(int(key.keycode), key.state);
    if (vk != 0 && m_onCaptureKey) {
        auto report = m_onCaptureKey; // the receiver may stop the capture
        report(vk);
    }
}

void X11Keyboard::releaseKeyboard()
{
    XUngrabKeyboard(m_dpy, CurrentTime);
    XFlush(m_dpy);
    m_capture = Capture::Off;
    if (m_releaseTimer)
        m_releaseTimer->stop();
}

void X11Keyboard::stopCapture()
{
    m_onCaptureKey = nullptr;
    m_onCaptureDone = nullptr;
    if (m_dpy && m_capture != Capture::Off)
        releaseKeyboard();
}

bool X11Keyboard::startTypingMonitor(std::function<void(const QString &)> onKey)
{
    if (!open() || m_xkbEventBase < 0)
        return false;
    if (m_xiOpcode < 0) {
        int opcode = 0, event = 0, error = 0;
        if (!XQueryExtension(m_dpy, "XInputExtension", &opcode, &event, &error))
            return false;
        // Raw events reach every client that asks, grabs or not, from XI 2.1 on.
        int major = 2, minor = 2;
        if (XIQueryVersion(m_dpy, &major, &minor) != Success || (major == 2 && minor < 1))
            return false;
        m_xiOpcode = opcode;
    }
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(bits, XI_RawKeyPress);
    XIEventMask mask{XIAllMasterDevices, int(sizeof bits), bits};
    XISelectEvents(m_dpy, m_root, &mask, 1);

    XkbSelectEventDetails(m_dpy, XkbUseCoreKbd, XkbStateNotify, XkbAllStateComponentsMask,
                          XkbModifierStateMask | XkbGroupStateMask);
    XkbStateRec state{};
    if (XkbGetState(m_dpy, XkbUseCoreKbd, &state) == Success)
        m_xkbState = XkbBuildCoreState(state.mods, state.group);
    m_onTyped = std::move(onKey);
    m_typing = true;
    scheduleRead();
    return true;
}

void X11Keyboard::stopTypingMonitor()
{
    if (!m_dpy || !m_typing)
        return;
    m_typing = false;
    m_onTyped = nullptr;
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    XIEventMask mask{XIAllMasterDevices, int(sizeof bits), bits};
    XISelectEvents(m_dpy, m_root, &mask, 1);
    XkbSelectEventDetails(m_dpy, XkbUseCoreKbd, XkbStateNotify, XkbAllStateComponentsMask, 0);
    XFlush(m_dpy);
}

void X11Keyboard::keyTyped(int keycode)
{
    unsigned consumed = 0;
    KeySym sym = NoSymbol;
    XkbLookupKeySym(m_dpy, KeyCode(keycode), m_xkbState, &consumed, &sym);
    const unsigned left = m_xkbState & ~consumed;
    const QString text = keytext::forKeysym(sym, left & LockMask, left & ControlMask);
    if (m_onTyped) {
        auto report = m_onTyped; // the receiver may stop the monitor
        report(text);
    }
}

} // namespace

std::unique_ptr<Keyboard> createKeyboard()
{
    return std::make_unique<X11Keyboard>();
}

} // namespace platform::linuxsvc
