// Screen modes of the primary output through XRandR.
#include "LinuxServices.h"

#include "X11Connection.h"
#include "X11RandrScreen.h"

#include <QtGlobal>

#include <algorithm>

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>
#include "XlibUndef.h"

namespace platform::linuxsvc {
namespace {

using x11::randr::Screen;

class X11Display : public Display
{
public:
    QList<DisplayMode> modes() override
    {
        QList<DisplayMode> result;
        ::Display *dpy = x11::connection();
        if (!dpy)
            return result;
        const Screen screen(dpy);
        for (const Screen::Mode &m : screen.outputModes()) {
            const DisplayMode mode = toDisplayMode(dpy, screen, m);
            if (!result.contains(mode)) // timings that differ only below 1 Hz
                result << mode;
        }
        return result;
    }

    DisplayMode current() override
    {
        ::Display *dpy = x11::connection();
        if (!dpy)
            return {};
        const Screen screen(dpy);
        const auto m = screen.currentMode();
        return m ? toDisplayMode(dpy, screen, *m) : DisplayMode{};
    }

    bool setMode(const DisplayMode &wanted) override
    {
        ::Display *dpy = x11::connection();
        if (!dpy || !acceptsDepth(dpy, wanted.bitsPerPixel))
            return false;
        Screen screen(dpy);
        if (!screen.isValid())
            return false;
        const auto matches = [&](const Screen::Mode &m) {
            return screen.width(m) == wanted.width && screen.height(m) == wanted.height
                   && (wanted.refreshRate <= 0 || qRound(m.refresh) == wanted.refreshRate);
        };
        if (const auto cur = screen.currentMode(); cur && matches(*cur))
            return true; // already in force: no flicker
        const QList<Screen::Mode> all = screen.outputModes();
        const auto it = std::find_if(all.cbegin(), all.cend(), matches);
        if (it == all.cend())
            return false;
        if (!screen.apply(*it))
            return false;
        const DisplayMode now = current();
        return now.width == wanted.width && now.height == wanted.height
               && (wanted.refreshRate <= 0 || now.refreshRate == wanted.refreshRate);
    }

private:
    static DisplayMode toDisplayMode(::Display *dpy, const Screen &screen, const Screen::Mode &m)
    {
        DisplayMode mode;
        mode.width = screen.width(m);
        mode.height = screen.height(m);
        mode.bitsPerPixel = DefaultDepth(dpy, DefaultScreen(dpy));
        mode.refreshRate = qRound(m.refresh);
        return mode;
    }

    // The colour depth cannot change under X11, so only the root depth
    // matches. Its pixel size counts too: a mode stored on Windows as 32 bits
    // per pixel is the usual 24-bit depth held in 32-bit pixels.
    static bool acceptsDepth(::Display *dpy, int bitsPerPixel)
    {
        const int depth = DefaultDepth(dpy, DefaultScreen(dpy));
        if (bitsPerPixel == depth)
            return true;
        int count = 0;
        XPixmapFormatValues *formats = XListPixmapFormats(dpy, &count);
        bool same = false;
        for (int i = 0; i < count; ++i) {
            if (formats[i].depth == depth && formats[i].bits_per_pixel == bitsPerPixel)
                same = true;
        }
        if (formats)
            XFree(formats);
        return same;
    }
};

} // namespace

std::unique_ptr<Display> createDisplay()
{
    return std::make_unique<X11Display>();
}

} // namespace platform::linuxsvc
