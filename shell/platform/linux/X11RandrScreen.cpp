#include "X11RandrScreen.h"

#include "X11Connection.h"

#include <QtGlobal>

#include <algorithm>

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>
#include "XlibUndef.h"

namespace platform::x11::randr {
namespace {

bool randrAvailable(::Display *dpy)
{
    int event = 0, error = 0, major = 0, minor = 0;
    return XRRQueryExtension(dpy, &event, &error) && XRRQueryVersion(dpy, &major, &minor)
           && (major > 1 || (major == 1 && minor >= 2));
}

double refreshOf(const XRRModeInfo &m)
{
    double lines = m.vTotal;
    if (m.modeFlags & RR_DoubleScan)
        lines *= 2;
    if (m.modeFlags & RR_Interlace)
        lines /= 2;
    if (m.hTotal == 0 || lines <= 0)
        return 0;
    return double(m.dotClock) / (double(m.hTotal) * lines);
}

struct Size {
    int width = 0;
    int height = 0;
};

Size rootSize(::Display *dpy)
{
    // Xlib's DisplayWidth() keeps the size from the connection's start.
    XWindowAttributes attrs;
    if (!XGetWindowAttributes(dpy, DefaultRootWindow(dpy), &attrs))
        return {DisplayWidth(dpy, DefaultScreen(dpy)), DisplayHeight(dpy, DefaultScreen(dpy))};
    return {attrs.width, attrs.height};
}

// Sets the screen size, keeping its dots per inch.
void setScreenSize(::Display *dpy, Size size)
{
    const int scr = DefaultScreen(dpy);
    const double mmPerPixelX = double(DisplayWidthMM(dpy, scr)) / std::max(1, DisplayWidth(dpy, scr));
    const double mmPerPixelY = double(DisplayHeightMM(dpy, scr)) / std::max(1, DisplayHeight(dpy, scr));
    XRRSetScreenSize(dpy, DefaultRootWindow(dpy), size.width, size.height,
                     std::max(1, qRound(size.width * mmPerPixelX)),
                     std::max(1, qRound(size.height * mmPerPixelY)));
}

} // namespace

Screen::Screen(::Display *dpy)
    : m_dpy(dpy)
{
    if (!dpy || !randrAvailable(dpy))
        return;
    const Window root = DefaultRootWindow(dpy);
    m_res = XRRGetScreenResourcesCurrent(dpy, root);
    if (m_res && m_res->noutput == 0) {
        // Nothing known yet: ask the server to look at the hardware.
        XRRFreeScreenResources(m_res);
        m_res = XRRGetScreenResources(dpy, root);
    }
    if (!m_res)
        return;
    const RROutput primary = XRRGetOutputPrimary(dpy, root);
    auto take = [&](RROutput id) {
        XRROutputInfo *info = XRRGetOutputInfo(dpy, m_res, id);
        if (info && info->connection == RR_Connected) {
            m_output = info;
            m_outputId = id;
            return true;
        }
        if (info)
            XRRFreeOutputInfo(info);
        return false;
    };
    bool found = primary && take(primary);
    for (int i = 0; !found && i < m_res->noutput; ++i)
        found = take(m_res->outputs[i]);
    if (m_output && m_output->crtc)
        m_crtc = XRRGetCrtcInfo(dpy, m_res, m_output->crtc);
}

Screen::~Screen()
{
    if (m_crtc)
        XRRFreeCrtcInfo(m_crtc);
    if (m_output)
        XRRFreeOutputInfo(m_output);
    if (m_res)
        XRRFreeScreenResources(m_res);
}

bool Screen::isValid() const
{
    return m_output && m_crtc && m_crtc->mode;
}

std::optional<Screen::Mode> Screen::modeById(unsigned long id) const
{
    if (!m_res)
        return std::nullopt;
    for (int i = 0; i < m_res->nmode; ++i) {
        const XRRModeInfo &info = m_res->modes[i];
        if (info.id == id)
            return Mode{info.id, int(info.width), int(info.height), refreshOf(info)};
    }
    return std::nullopt;
}

QList<Screen::Mode> Screen::outputModes() const
{
    QList<Mode> result;
    if (!m_output)
        return result;
    for (int i = 0; i < m_output->nmode; ++i) {
        if (const auto mode = modeById(m_output->modes[i]))
            result << *mode;
    }
    return result;
}

std::optional<Screen::Mode> Screen::currentMode() const
{
    if (!isValid())
        return std::nullopt;
    return modeById(m_crtc->mode);
}

bool Screen::rotated() const
{
    return m_crtc && (m_crtc->rotation & (RR_Rotate_90 | RR_Rotate_270));
}

int Screen::width(const Mode &mode) const
{
    return rotated() ? mode.height : mode.width;
}

int Screen::height(const Mode &mode) const
{
    return rotated() ? mode.width : mode.height;
}

bool Screen::apply(const Mode &mode)
{
    if (!isValid())
        return false;

    // The screen must hold every CRTC once ours shows the new mode.
    Size needed{0, 0};
    for (int i = 0; i < m_res->ncrtc; ++i) {
        const RRCrtc id = m_res->crtcs[i];
        if (id == m_output->crtc) {
            needed.width = std::max(needed.width, m_crtc->x + width(mode));
            needed.height = std::max(needed.height, m_crtc->y + height(mode));
            continue;
        }
        XRRCrtcInfo *other = XRRGetCrtcInfo(m_dpy, m_res, id);
        if (!other)
            continue;
        if (other->mode) {
            needed.width = std::max(needed.width, other->x + int(other->width));
            needed.height = std::max(needed.height, other->y + int(other->height));
        }
        XRRFreeCrtcInfo(other);
    }
    int minW = 0, minH = 0, maxW = 0, maxH = 0;
    if (XRRGetScreenSizeRange(m_dpy, DefaultRootWindow(m_dpy), &minW, &minH, &maxW, &maxH)) {
        if (needed.width > maxW || needed.height > maxH)
            return false;
        needed.width = std::max(needed.width, minW);
        needed.height = std::max(needed.height, minH);
    }

    const Size before = rootSize(m_dpy);
    const Size larger{std::max(before.width, needed.width), std::max(before.height, needed.height)};
    int result = RRSetConfigFailed;
    XGrabServer(m_dpy);
    const bool clean = withoutErrors(m_dpy, [&] {
        // Grow first, shrink last: a CRTC never lies outside the screen.
        if (larger.width != before.width || larger.height != before.height)
            setScreenSize(m_dpy, larger);
        result = XRRSetCrtcConfig(m_dpy, m_res, m_output->crtc, CurrentTime, m_crtc->x, m_crtc->y,
                                  RRMode(mode.id), m_crtc->rotation, m_crtc->outputs,
                                  m_crtc->noutput);
        if (result == RRSetConfigSuccess) {
            if (needed.width != larger.width || needed.height != larger.height)
                setScreenSize(m_dpy, needed);
        } else if (larger.width != before.width || larger.height != before.height) {
            setScreenSize(m_dpy, before);
        }
    });
    XUngrabServer(m_dpy);
    XSync(m_dpy, False);
    return clean && result == RRSetConfigSuccess;
}

} // namespace platform::x11::randr
