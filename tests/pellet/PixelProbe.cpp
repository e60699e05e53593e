#include "PixelProbe.h"

#include <QWidget>

namespace PixelProbe {

QImage render(QWidget *widget)
{
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QRgb at(const QImage &image, int x, int y)
{
    return image.pixel(x, y) & 0xFFFFFFu;
}

QRect bounds(const QImage &image, const Predicate &match)
{
    QRect r;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (match(at(image, x, y)))
                r |= QRect(x, y, 1, 1);
    return r;
}

int count(const QImage &image, const Predicate &match, const QRect &area)
{
    const QRect r = area.isNull() ? image.rect() : area.intersected(image.rect());
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (match(at(image, x, y)))
                ++n;
    return n;
}

QList<QPoint> differences(const QImage &a, const QImage &b)
{
    QList<QPoint> points;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (at(a, x, y) != at(b, x, y))
                points.append(QPoint(x, y));
    return points;
}

bool onOutline(const QPoint &p, const QRect &rect)
{
    if (!rect.contains(p))
        return false;
    return p.x() == rect.left() || p.x() == rect.right() || p.y() == rect.top() || p.y() == rect.bottom();
}

Predicate sameAs(const QColor &color)
{
    const QRgb want = color.rgb() & 0xFFFFFFu;
    return [want](QRgb c) { return c == want; };
}

} // namespace PixelProbe
