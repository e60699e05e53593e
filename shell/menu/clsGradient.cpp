#include "clsGradient.h"

#include <OleColor.h>
#include <VbNumber.h>

#include <QImage>

#include <cmath>

namespace {

int channel(quint32 colour, int shift)
{
    return int((colour >> shift) & 0xFF);
}

// Where the lines are. Line k runs through mid + k * step (step is one pixel
// along x or y), turned by Angle + 90 degrees; along the other axis each line
// covers exactly one pixel per row (or column), offset by slope per pixel.
struct LineSet {
    bool alongX = true; // lines step along x, one pixel per row
    double sign = 1.0;  // direction of the step
    QPointF mid;        // centre of line 0
    double slope = 0.0; // shift of a line along the step axis per pixel across
    int count = 0;
};

LineSet lineSet(float angle, const QSize &size)
{
    const double w = size.width();
    const double h = size.height();
    const double rad = double(angle) * M_PI / 180.0;
    // Right angles must give exact axis-parallel lines: a stray 1e-16 would
    // shift every line by a pixel.
    auto clean = [](double v) { return std::abs(v) < 1e-12 ? 0.0 : v; };
    // Screen y grows downwards, so the direction of the gradient is (cos, -sin).
    const double dx = clean(std::cos(rad));
    const double dy = clean(-std::sin(rad));
    // The lines stand at right angles to it.
    const double ex = -dy;
    const double ey = dx;
    const double half = (std::max(w, h) * M_SQRT2 + 2.0) / 2.0;

    LineSet set;
    // Step along the axis the gradient runs closer to, so that neighbouring
    // lines leave no pixel out.
    set.alongX = std::abs(dx) >= std::abs(dy);
    set.sign = (set.alongX ? dx : dy) >= 0 ? 1.0 : -1.0;
    const double spread = (set.alongX ? std::abs(ex) : std::abs(ey)) * half;
    const double extent = set.alongX ? w : h;
    set.slope = set.alongX ? ex / ey : ey / ex;
    // The first line has its leading end on the near edge; lines follow until
    // both ends lie beyond the far edge, i.e. while k <= extent - 1 + 2 * spread.
    const double start = set.sign > 0 ? -spread : extent - 1.0 + spread;
    set.mid = set.alongX ? QPointF(start, h / 2.0) : QPointF(w / 2.0, start);
    set.count = std::max(0, int(std::floor(extent - 1.0 + 2.0 * spread)) + 1);
    return set;
}

} // namespace

void clsGradient::setColor1(quint32 value)
{
    m_color1 = ResolveColor(value);
}

void clsGradient::setColor2(quint32 value)
{
    m_color2 = ResolveColor(value);
}

void clsGradient::setAngle(float value)
{
    m_angle = ReduceAngle(value);
}

float clsGradient::ReduceAngle(float angle)
{
    if (!std::isfinite(angle))
        return 0.0f;
    const float reduced = angle - std::floor(angle / 360.0f) * 360.0f;
    // Rounding of tiny negative angles can land on 360 itself.
    if (reduced >= 360.0f || reduced < 0.0f)
        return 0.0f;
    return reduced;
}

quint32 clsGradient::ResolveColor(quint32 value, const QPalette &palette)
{
    if ((value & OleColor::SystemFlag) && (value & 0x7FFFFFFFu) < 25)
        return OleColor::fromQColor(OleColor::toQColor(value, palette));
    return value;
}

QList<QRgb> clsGradient::ColorTable(quint32 c1, quint32 c2, int count)
{
    QList<QRgb> table;
    if (count <= 0)
        return table;
    table.reserve(count);
    const int r1 = channel(c1, 0), g1 = channel(c1, 8), b1 = channel(c1, 16);
    const int r2 = channel(c2, 0), g2 = channel(c2, 8), b2 = channel(c2, 16);
    auto mix = [count](int from, int to, int i) {
        return int(VbNumber::RoundHalfEven(from + double(i) * double(to - from) / double(count)));
    };
    for (int i = 0; i < count; ++i) {
        if (i == 0)
            table.append(qRgb(r1, g1, b1));
        else if (i == count - 1)
            table.append(qRgb(r2, g2, b2));
        else
            table.append(qRgb(mix(r1, r2, i), mix(g1, g2, i), mix(b1, b2, i)));
    }
    return table;
}

bool clsGradient::Draw(QImage &target, const QSize &whole, const QPoint &offset) const
{
    if (whole.width() <= 1 || whole.height() <= 1)
        return false;
    const LineSet set = lineSet(m_angle, whole);
    if (set.count == 0)
        return false;
    const QList<QRgb> colours = ColorTable(m_color1, m_color2, set.count);
    const bool direct = target.format() == QImage::Format_RGB32 || target.format() == QImage::Format_ARGB32
                        || target.format() == QImage::Format_ARGB32_Premultiplied;
    // Each line is one pixel wide: per row (or column) it covers one pixel,
    // and line k + 1 covers the next one along the step.
    const QSize size = target.size();
    const int across = set.alongX ? size.height() : size.width();
    const int along = set.alongX ? size.width() : size.height();
    const int acrossFrom = set.alongX ? offset.y() : offset.x();
    const int alongFrom = set.alongX ? offset.x() : offset.y();
    const double centre = set.alongX ? set.mid.y() : set.mid.x();
    const double origin = set.alongX ? set.mid.x() : set.mid.y();
    const int step = int(set.sign);
    // scanLine() checks for sharing on every call; one detach up front makes
    // the screen-sized fill several times faster.
    uchar *const bits = direct ? target.bits() : nullptr;
    const qsizetype bytesPerLine = target.bytesPerLine();
    for (int a = 0; a < across; ++a) {
        const int first = int(std::floor(origin + (a + acrossFrom - centre) * set.slope + 0.5));
        for (int b = 0; b < along; ++b) {
            const int k = (b + alongFrom - first) * step;
            if (k < 0 || k >= set.count)
                continue;
            const int x = set.alongX ? b : a;
            const int y = set.alongX ? a : b;
            if (direct)
                reinterpret_cast<QRgb *>(bits + y * bytesPerLine)[x] = colours.at(k);
            else
                target.setPixel(x, y, colours.at(k));
        }
    }
    return true;
}
