// bench_keys [N]: N synthetic key presses (XTest, default 10,000) through
//  1. the shell's typing monitor, with the first hook's grabs in place, and
//  2. a bare client that only reads the same XInput2 raw event,
// timing each from the moment the key is sent until the receiver has handed it
// on. The difference of the two is what the shell's key path adds; the cost of
// the translation alone is measured apart.
#include "platform/linux/LinuxServices.h"
#include "platform/linux/TypedKeyText.h"

#include <QCoreApplication>
#include <QEvent>
#include <QSocketNotifier>
#include <QTimer>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#undef None
#undef Bool
#undef Status

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Run {
    std::atomic<int> received{0};
    std::atomic<Clock::rep> handedOn{0};
    std::vector<double> inProcess; // µs from waking up with the event to handing it on
};

// When the event loop hands a readable socket to its notifier: the process
// has the event from then on.
class WakeUps : public QObject
{
public:
    Clock::time_point last;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::SockAct)
            last = Clock::now();
        return QObject::eventFilter(watched, event);
    }
};
WakeUps *g_wakeUps = nullptr;

// Presses and releases one key `count` times, each press after the receiver
// handed the previous one on; returns the press-to-hand-on times in µs.
std::vector<double> drive(Run &run, int count, KeySym keysym)
{
    std::vector<double> us;
    us.reserve(size_t(count));
    Display *dpy = XOpenDisplay(nullptr);
    const KeyCode code = XKeysymToKeycode(dpy, keysym);
    for (int i = 0; i < count; ++i) {
        const auto sent = Clock::now();
        XTestFakeKeyEvent(dpy, code, True, 0);
        XFlush(dpy);
        const auto deadline = sent + std::chrono::seconds(2);
        while (run.received.load(std::memory_order_acquire) <= i) {
            if (Clock::now() > deadline) {
                std::fprintf(stderr, "key %d never arrived\n", i);
                XCloseDisplay(dpy);
                return us;
            }
            std::this_thread::yield();
        }
        const Clock::time_point at{Clock::duration{run.handedOn.load()}};
        us.push_back(std::chrono::duration<double, std::micro>(at - sent).count());
        XTestFakeKeyEvent(dpy, code, False, 0);
        XFlush(dpy);
    }
    XSync(dpy, False);
    XCloseDisplay(dpy);
    return us;
}

void handedOn(Run &run)
{
    const auto now = Clock::now();
    run.inProcess.push_back(std::chrono::duration<double, std::micro>(now - g_wakeUps->last).count());
    run.handedOn.store(now.time_since_epoch().count());
    run.received.fetch_add(1, std::memory_order_release);
}

// The least a client can do: read the raw event and let go of it.
class BareReader
{
public:
    explicit BareReader(Run &run) : m_run(run)
    {
        m_dpy = XOpenDisplay(nullptr);
        int event = 0, error = 0;
        XQueryExtension(m_dpy, "XInputExtension", &m_opcode, &event, &error);
        int major = 2, minor = 2;
        XIQueryVersion(m_dpy, &major, &minor);
        unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
        XISetMask(bits, XI_RawKeyPress);
        XIEventMask mask{XIAllMasterDevices, int(sizeof bits), bits};
        XISelectEvents(m_dpy, DefaultRootWindow(m_dpy), &mask, 1);
        XSync(m_dpy, False);
        m_notifier = new QSocketNotifier(ConnectionNumber(m_dpy), QSocketNotifier::Read);
        QObject::connect(m_notifier, &QSocketNotifier::activated, [this] { read(); });
    }
    ~BareReader()
    {
        delete m_notifier;
        XCloseDisplay(m_dpy);
    }

private:
    void read()
    {
        while (XPending(m_dpy) > 0) {
            XEvent ev;
            XNextEvent(m_dpy, &ev);
            if (ev.type == GenericEvent && ev.xcookie.extension == m_opcode && XGetEventData(m_dpy, &ev.xcookie)) {
                if (ev.xcookie.evtype == XI_RawKeyPress)
                    handedOn(m_run);
                XFreeEventData(m_dpy, &ev.xcookie);
            }
        }
    }

    Run &m_run;
    Display *m_dpy = nullptr;
    int m_opcode = 0;
    QSocketNotifier *m_notifier = nullptr;
};

std::vector<double> measure(int count, const std::function<void()> &quit, Run &run)
{
    std::vector<double> us;
    std::thread sender([&] {
        us = drive(run, count, XK_a);
        QMetaObject::invokeMethod(qApp, quit, Qt::QueuedConnection);
    });
    QCoreApplication::exec();
    sender.join();
    return us;
}

void report(const char *what, std::vector<double> us, int expected)
{
    if (us.empty()) {
        std::printf("%-34s no keys arrived\n", what);
        return;
    }
    std::sort(us.begin(), us.end());
    auto at = [&](double q) { return us[std::min(us.size() - 1, size_t(q * double(us.size())))]; };
    std::printf("%-34s n=%zu/%d  median %7.1f us  p99 %7.1f us  max %8.1f us\n", what, us.size(), expected,
                at(0.5), at(0.99), us.back());
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::fprintf(stderr, "bench_keys needs an X server: run it under tests/x11/run-under-xvfb\n");
        return 2;
    }
    XInitThreads();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QCoreApplication app(argc, argv);
    WakeUps wakeUps;
    g_wakeUps = &wakeUps;
    app.installEventFilter(&wakeUps);
    const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10000;

    // Warm up the server, the caches and the clock before anything counts.
    {
        Run run;
        BareReader reader(run);
        measure(std::min(count, 1000), [] { QCoreApplication::quit(); }, run);
    }

    // 1. The shell's path: passive grabs installed, typing monitor running.
    std::vector<double> shell, shellInProcess, bareInProcess;
    {
        Run run;
        auto keyboard = platform::linuxsvc::createKeyboard();
        keyboard->installKeyGrabs({166, 167, 172, 183});
        QString last;
        if (!keyboard->startTypingMonitor([&](const QString &key) {
                last = key;
                handedOn(run);
            })) {
            std::fprintf(stderr, "the typing monitor did not start\n");
            return 1;
        }
        shell = measure(count, [] { QCoreApplication::quit(); }, run);
        shellInProcess = run.inProcess;
        keyboard->stopTypingMonitor();
        keyboard->removeKeyGrabs();
        if (last != QLatin1String("a"))
            std::fprintf(stderr, "unexpected key text: %s\n", qPrintable(last));
    }

    // 2. The same event read by a client that does nothing with it.
    std::vector<double> bare;
    {
        Run run;
        BareReader reader(run);
        bare = measure(count, [] { QCoreApplication::quit(); }, run);
        bareInProcess = run.inProcess;
    }

    // 3. The translation alone, as the monitor does it per key.
    double translateNs = 0;
    {
        Display *dpy = XOpenDisplay(nullptr);
        const KeyCode code = XKeysymToKeycode(dpy, XK_a);
        const int rounds = 200000;
        size_t sink = 0;
        const auto start = Clock::now();
        for (int i = 0; i < rounds; ++i) {
            unsigned consumed = 0;
            KeySym sym = 0;
            const unsigned state = (i & 1) ? ShiftMask : 0;
            XkbLookupKeySym(dpy, code, state, &consumed, &sym);
            const unsigned left = state & ~consumed;
            sink += size_t(platform::keytext::forKeysym(sym, left & LockMask, left & ControlMask).size());
        }
        translateNs = std::chrono::duration<double, std::nano>(Clock::now() - start).count() / rounds;
        XCloseDisplay(dpy);
        if (sink == 0)
            std::fprintf(stderr, "no text\n");
    }

    std::printf("key path, %d synthetic key presses (XTest) each\n", count);
    std::printf("in the process (socket readable -> handed on):\n");
    report("  shell typing monitor (+grabs)", shellInProcess, count);
    report("  bare XInput2 raw-event reader", bareInProcess, count);
    std::printf("end to end (key sent -> handed on, includes the X server and scheduling):\n");
    report("  shell typing monitor (+grabs)", shell, count);
    report("  bare XInput2 raw-event reader", bare, count);
    if (!shell.empty() && !bare.empty()) {
        std::sort(shell.begin(), shell.end());
        std::sort(bare.begin(), bare.end());
        auto at = [](const std::vector<double> &v, double q) {
            return v[std::min(v.size() - 1, size_t(q * double(v.size())))];
        };
        std::printf("%-34s median %7.1f us  p99 %7.1f us\n", "  difference of the two",
                    at(shell, 0.5) - at(bare, 0.5), at(shell, 0.99) - at(bare, 0.99));
    }
    std::printf("%-34s %7.3f us per key\n", "translation alone (XKB + text)", translateNs / 1000.0);
    return 0;
}
