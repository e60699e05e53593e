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

    // Syncs first, so older errors are not counted here (nor fatal).
    explicit ErrorTrap(::Display *dpy);
    ~ErrorTrap();
    ErrorTrap(const ErrorTrap &) = delete;
    ErrorTrap &operator=(const ErrorTrap &) = delete;

    // Waits for the server's answer to everything sent so far; the errors.
    const QList<Error> &sync();

private:
    ::Display *m_dpy;
    ErrorTrap *m_outer;
    void *m_previousHandler;
    QList<Error> m_errors;

    friend int trapError(::Display *, void *);
};

} // namespace platform::x11
