#pragma once

// Catches the X errors that one connection receives while it lives, instead of
// letting Xlib's default handler end the process. Requests of other windows
// may fail at any time (a window vanishes, another client holds a key).
#include <QList>

typedef struct _XDisplay Display;

namespace platform::x11 {

class ErrorTrap
{
public:
    struct Error {
        unsigned long serial;
        int code;
    };

    // Synced syncs first, so older errors are not counted here (nor fatal),
    // and last, so that errors of requests without a reply are heard.
    // RepliesOnly is for requests that wait for their reply, whose error comes
    // in its place: it costs no round trips of its own.
    enum Mode { Synced, RepliesOnly };
    explicit ErrorTrap(::Display *dpy, Mode mode = Synced);
    ~ErrorTrap();
    ErrorTrap(const ErrorTrap &) = delete;
    ErrorTrap &operator=(const ErrorTrap &) = delete;

    // Waits for the server's answer to everything sent so far; the errors.
    const QList<Error> &sync();

private:
    ::Display *m_dpy;
    Mode m_mode;
    ErrorTrap *m_outer;
    void *m_previousHandler;
    QList<Error> m_errors;

    friend int trapError(::Display *, void *);
};

} // namespace platform::x11
