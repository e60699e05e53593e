#pragma once

#include "pellet_export.h"

#include <QColor>
#include <QPalette>

// Colours as the suite stores them: 0x00BBGGRR, or a system-colour reference with
// the top bit set and the system colour index in the low byte.
namespace OleColor {

constexpr quint32 SystemFlag = 0x80000000u;

// The system colours the suite names.
constexpr quint32 WindowFrame = 0x80000006u;
constexpr quint32 WindowText = 0x80000008u;
constexpr quint32 ButtonFace = 0x8000000Fu;
constexpr quint32 ButtonShadow = 0x80000010u;
constexpr quint32 GrayText = 0x80000011u;
constexpr quint32 ButtonText = 0x80000012u;
constexpr quint32 ButtonHighlight = 0x80000014u;
constexpr quint32 DarkShadow3D = 0x80000015u;
constexpr quint32 Light3D = 0x80000016u;
constexpr quint32 Window = 0x80000005u;

inline bool isSystem(quint32 value) { return (value & SystemFlag) != 0; }

// The colour a stored value stands for; system colours are looked up in the palette.
// An unknown system index gives black.
PELLET_EXPORT QColor toQColor(quint32 value, const QPalette &palette = QPalette());

// The stored form of a plain colour (alpha is dropped).
PELLET_EXPORT quint32 fromQColor(const QColor &color);

} // namespace OleColor
