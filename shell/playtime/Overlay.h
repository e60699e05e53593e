#pragma once

#include "widgets/FormParts.h"

#include <QWidget>

namespace Overlay {

// Our own windows above all others that take no input: the window manager
// leaves them alone, so they cannot take the focus from the game.
constexpr Qt::WindowFlags Flags = Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint
                                  | Qt::X11BypassWindowManagerHint | Qt::WindowTransparentForInput
                                  | Qt::WindowDoesNotAcceptFocus;

// Names the window and gives it the menu's colours with a border.
inline void Dress(QWidget *window, const QString &name, int border)
{
    window->setObjectName(name);
    window->setAttribute(Qt::WA_ShowWithoutActivating);
    window->setAttribute(Qt::WA_StyledBackground);
    window->setFocusPolicy(Qt::NoFocus);
    const auto [back, text] = FormParts::MenuColours();
    window->setStyleSheet(QStringLiteral("#%1 { background: %2; border: %3px solid %4; }"
                                         "QLabel { color: %4; background: transparent; }")
                              .arg(name, back.name())
                              .arg(border)
                              .arg(text.name()));
}

} // namespace Overlay
