#include "TypedKeyText.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace platform::keytext {
namespace {

QString token(unsigned long keysym)
{
    switch (keysym) {
    case XK_BackSpace:
        return QStringLiteral("<backspace>");
    case XK_Tab:
    case XK_ISO_Left_Tab:
    case XK_KP_Tab:
        return QStringLiteral("<tab>");
    case XK_Return:
    case XK_KP_Enter:
        return QStringLiteral("<enter>");
    case XK_space:
    case XK_KP_Space:
        return QStringLiteral("<space>");
    case XK_Delete:
    case XK_KP_Delete:
        return QStringLiteral("<delete>");
    case XK_Pause:
        return QStringLiteral("<pause>");
    default:
        return QString();
    }
}

// The Unicode character of a keysym, 0 when it types none.
char32_t character(unsigned long keysym)
{
    if ((keysym >= 0x20 && keysym <= 0x7e) || (keysym >= 0xa0 && keysym <= 0xff))
        return char32_t(keysym);
    if (keysym >= 0x01000100 && keysym <= 0x0110ffff)
        return char32_t(keysym - 0x01000000);
    if (keysym >= XK_KP_0 && keysym <= XK_KP_9)
        return U'0' + char32_t(keysym - XK_KP_0);
    switch (keysym) {
    case XK_KP_Multiply: return U'*';
    case XK_KP_Add: return U'+';
    case XK_KP_Separator: return U',';
    case XK_KP_Subtract: return U'-';
    case XK_KP_Decimal: return U'.';
    case XK_KP_Divide: return U'/';
    case XK_KP_Equal: return U'=';
    case XK_EuroSign: return U'\u20ac';
    default: return 0;
    }
}

QString noCharacter(unsigned long keysym)
{
    const char *name = XKeysymToString(keysym);
    const QString text = name ? QString::fromLatin1(name)
                              : QStringLiteral("0x") + QString::number(qulonglong(keysym), 16);
    return QStringLiteral("<Key:") + text + QLatin1Char('>');
}

} // namespace

QString forKeysym(unsigned long keysym, bool capsLock, bool control)
{
    const QString t = token(keysym);
    if (!t.isEmpty())
        return t;
    if (capsLock) {
        KeySym lower = 0, upper = 0;
        XConvertCase(keysym, &lower, &upper);
        keysym = upper;
    }
    char32_t c = character(keysym);
    if (c != 0 && control) {
        // As a keyboard translation does: Ctrl+letter and Ctrl+[\]^_@ type
        // control characters, other keys type nothing under Control.
        if ((c >= U'@' && c <= U'_') || (c >= U'a' && c <= U'z'))
            c &= 0x1f;
        else
            c = 0;
    }
    if (c == 0)
        return noCharacter(keysym);
    return QString::fromUcs4(&c, 1);
}

} // namespace platform::keytext
