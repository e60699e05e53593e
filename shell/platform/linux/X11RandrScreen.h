#pragma once

// The primary output of the X screen and its modes (XRandR 1.2+): the output
// marked primary, else the first connected one.
#include <QList>

#include <optional>

typedef struct _XDisplay Display;
struct _XRRScreenResources;
struct _XRROutputInfo;
struct _XRRCrtcInfo;

namespace platform::x11::randr {

class Screen
{
public:
    struct Mode {
        unsigned long id = 0;
        int width = 0;  // of the mode itself, before rotation
        int height = 0;
        double refresh = 0; // Hz; 0 when the mode has no timings (Xvfb)
    };

    explicit Screen(::Display *dpy);
    ~Screen();
    Screen(const Screen &) = delete;
    Screen &operator=(const Screen &) = delete;

    // An output that shows a picture (it has a CRTC).
    bool isValid() const;

    // The output's modes, preferred ones first.
    QList<Mode> outputModes() const;
    std::optional<Mode> currentMode() const;

    // The size a mode gives the screen, rotation included.
    int width(const Mode &mode) const;
    int height(const Mode &mode) const;

    // Switches the output's CRTC to the mode, resizing the screen to hold
    // every CRTC. False when the server refused (nothing is left half done).
    bool apply(const Mode &mode);

private:
    bool rotated() const;
    std::optional<Mode> modeById(unsigned long id) const;

    ::Display *m_dpy = nullptr;
    _XRRScreenResources *m_res = nullptr;
    _XRROutputInfo *m_output = nullptr;
    _XRRCrtcInfo *m_crtc = nullptr;
    unsigned long m_outputId = 0;
};

} // namespace platform::x11::randr
