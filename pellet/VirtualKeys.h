#pragma once

// Internal to libpellet: keyboard and mouse values in the form the host expects them.

#include <QKeyEvent>

namespace VirtualKeys {

// The Windows virtual-key code of a key event (US layout for punctuation), 0 if none.
int keyCode(const QKeyEvent *event);

// The character code the key typed (Windows-1252), 0 when it typed nothing.
int keyAscii(const QKeyEvent *event);

// Shift-state bits: 1 Shift, 2 Ctrl, 4 Alt.
int shiftState(Qt::KeyboardModifiers modifiers);

// Mouse button bits: 1 left, 2 right, 4 middle.
int mouseButtons(Qt::MouseButtons buttons);

} // namespace VirtualKeys
