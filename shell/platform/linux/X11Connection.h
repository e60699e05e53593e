#pragma once

// Our own Xlib connection to the X server, apart from Qt's, for the window
// manager protocol, key grabs and screen modes. Opened on first use; null when
// there is no X display (tests on the offscreen platform).
#include <functional>

typedef struct _XDisplay Display;

namespace platform::x11 {

::Display *connection();

// A further connection of our own (key grabs, pings and the panel each keep
// one, so their events never mix): null without an X display. X errors on it
// are harmless. The caller closes it with XCloseDisplay.
::Display *openConnection();
unsigned long rootWindow();
unsigned long atom(const char *name);

// Runs work with X errors caught; false when the server reported one.
bool withoutErrors(const std::function<void()> &work);
// The same on another connection of ours (false when dpy is null).
bool withoutErrors(::Display *dpy, const std::function<void()> &work);

// A further connection kept by one service: opened by the first open() (a
// failure is not tried again) and closed with the object.
class OwnConnection
{
public:
    OwnConnection() = default;
    ~OwnConnection();
    OwnConnection(const OwnConnection &) = delete;
    OwnConnection &operator=(const OwnConnection &) = delete;

    ::Display *open();

private:
    ::Display *m_dpy = nullptr;
    bool m_tried = false;
};

// Makes X errors outside a trap harmless (Xlib's default ends the process).
// connection() does this when it opens; call it for other connections.
void installErrorHandler();

} // namespace platform::x11
