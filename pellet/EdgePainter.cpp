#include "EdgePainter.h"

#include "OleColor.h"

namespace EdgePainter {

namespace {

struct Border {
    bool present = false;
    QRgb topLeft = 0;
    QRgb bottomRight = 0;
};

QRgb sys(quint32 value, const QPalette &palette)
{
    return OleColor::toQColor(value, palette).rgb();
}

// Colours of one border (outer when outer is true) of the given raised/sunken bits.
Border borderFor(unsigned bits, bool outer, Look look, const QPalette &pal)
{
    Border b;
    const bool raised = bits & 0x1;
    const bool sunken = bits & 0x2;
    if (!raised && !sunken)
        return b;
    b.present = true;
    switch (look) {
    case Look::Mono:
        b.topLeft = b.bottomRight = sys(outer ? OleColor::WindowFrame : OleColor::Window, pal);
        return b;
    case Look::Flat:
        b.topLeft = b.bottomRight = sys(outer ? OleColor::ButtonShadow : OleColor::ButtonFace, pal);
        return b;
    case Look::Normal:
    case Look::Soft:
        break;
    }
    const bool soft = look == Look::Soft;
    if (outer && raised) {
        b.topLeft = sys(soft ? OleColor::ButtonHighlight : OleColor::Light3D, pal);
        b.bottomRight = sys(OleColor::DarkShadow3D, pal);
    } else if (outer) {
        b.topLeft = sys(soft ? OleColor::DarkShadow3D : OleColor::ButtonShadow, pal);
        b.bottomRight = sys(OleColor::ButtonHighlight, pal);
    } else if (raised) {
        b.topLeft = sys(soft ? OleColor::Light3D : OleColor::ButtonHighlight, pal);
        b.bottomRight = sys(OleColor::ButtonShadow, pal);
    } else {
        b.topLeft = sys(soft ? OleColor::ButtonShadow : OleColor::DarkShadow3D, pal);
        b.bottomRight = sys(OleColor::Light3D, pal);
    }
    return b;
}

void hline(QImage &img, int x0, int x1, int y, QRgb color)
{
    if (y < 0 || y >= img.height())
        return;
    x0 = qMax(x0, 0);
    x1 = qMin(x1, img.width() - 1);
    auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
    for (int x = x0; x <= x1; ++x)
        line[x] = color;
}

void vline(QImage &img, int x, int y0, int y1, QRgb color)
{
    if (x < 0 || x >= img.width())
        return;
    y0 = qMax(y0, 0);
    y1 = qMin(y1, img.height() - 1);
    for (int y = y0; y <= y1; ++y)
        reinterpret_cast<QRgb *>(img.scanLine(y))[x] = color;
}

// Top-left colour on the top row and left column short of the far corners; the
// bottom-right colour owns the bottom row, the right column and both odd corners.
void drawBorder(QImage &img, const QRect &r, const Border &b)
{
    if (r.width() <= 0 || r.height() <= 0)
        return;
    hline(img, r.left(), r.right() - 1, r.top(), b.topLeft);
    vline(img, r.left(), r.top(), r.bottom() - 1, b.topLeft);
    hline(img, r.left(), r.right(), r.bottom(), b.bottomRight);
    vline(img, r.right(), r.top(), r.bottom(), b.bottomRight);
}

void invertAt(QImage &img, int x, int y)
{
    if (x < 0 || y < 0 || x >= img.width() || y >= img.height())
        return;
    auto *p = reinterpret_cast<QRgb *>(img.scanLine(y)) + x;
    *p ^= 0x00FFFFFFu;
}

// Visits each pixel of the outline once, clockwise from the top-left corner.
template <typename F>
void walkOutline(const QRect &r, F &&visit)
{
    const int x0 = r.left(), x1 = r.right(), y0 = r.top(), y1 = r.bottom();
    for (int x = x0; x <= x1; ++x)
        visit(x, y0);
    for (int y = y0 + 1; y <= y1; ++y)
        visit(x1, y);
    if (y1 > y0)
        for (int x = x1 - 1; x >= x0; --x)
            visit(x, y1);
    if (x1 > x0)
        for (int y = y1 - 1; y > y0; --y)
            visit(x0, y);
}

} // namespace

void drawEdge(QImage &image, const QRect &rect, unsigned edge, Look look, const QPalette &palette)
{
    const Border outer = borderFor(edge & 0x3, true, look, palette);
    const Border inner = borderFor((edge >> 2) & 0x3, false, look, palette);
    QRect r = rect;
    if (outer.present) {
        drawBorder(image, r, outer);
        r.adjust(1, 1, -1, -1);
    }
    if (inner.present)
        drawBorder(image, r, inner);
}

void invertFocusOutline(QImage &image, const QRect &rect)
{
    if (rect.isEmpty())
        return;
    walkOutline(rect, [&](int x, int y) {
        if (((x + y) & 1) == 0)
            invertAt(image, x, y);
    });
}

void invertDottedOutline(QImage &image, const QRect &rect, int on, int off)
{
    if (rect.isEmpty() || on <= 0)
        return;
    const int period = on + qMax(off, 0);
    int i = 0;
    walkOutline(rect, [&](int x, int y) {
        if (i++ % period < on)
            invertAt(image, x, y);
    });
}

} // namespace EdgePainter
