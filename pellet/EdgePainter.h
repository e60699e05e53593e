#pragma once

// Internal to libpellet: the classic 3-D edge, focus rectangle and inverted dotted
// outline, drawn straight into an RGB32 image so every pixel lands where it should.

#include <QImage>
#include <QPalette>
#include <QRect>

namespace EdgePainter {

// Border kinds, combined into edges the way the Windows edge call combines them.
enum : unsigned {
    RaisedOuter = 0x1,
    SunkenOuter = 0x2,
    RaisedInner = 0x4,
    SunkenInner = 0x8,
    EdgeRaised = RaisedOuter | RaisedInner,
    EdgeSunken = SunkenOuter | SunkenInner,
    EdgeEtched = SunkenOuter | RaisedInner,
    EdgeBump = RaisedOuter | SunkenInner,
};

// Edge looks: soft swaps the light colours of the outer and inner borders on the
// top-left side; flat is a shadow line with a face-coloured line inside; mono is a
// frame line with a window-coloured line inside. None is the ordinary 3-D look.
enum class Look { Normal, Soft, Flat, Mono };

// Draws the edge on all four sides of rect (outer border on rect, inner one pixel in).
void drawEdge(QImage &image, const QRect &rect, unsigned edge, Look look, const QPalette &palette);

// Inverts every other pixel of the outline of rect, in a checkerboard like a focus
// rectangle (inclusive coordinates).
void invertFocusOutline(QImage &image, const QRect &rect);

// Inverts the outline of rect with a dotted pattern that runs on around the corners:
// `on` pixels inverted, `off` pixels left alone.
void invertDottedOutline(QImage &image, const QRect &rect, int on, int off);

} // namespace EdgePainter
