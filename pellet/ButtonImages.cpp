#include "ButtonImages.h"

#include <QPainter>
#include <QPainterPath>

#include <array>

namespace ButtonImages {

namespace {

// Shapes are laid out on a unit square and stroked twice: a dark rim, then the body
// colour, with a thin light stroke on top so they read well on grey faces. The small
// images use relatively thicker strokes so they stay legible at 16 pixels.
struct Style {
    QColor rim;
    QColor body;
    QColor shine;
};

QImage strokeImage(int size, const QPainterPath &unitPath, const Style &style, bool small)
{
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size, size);

    const qreal rim = small ? 0.25 : 0.22;
    const qreal body = small ? 0.15 : 0.14;
    const qreal shine = small ? 0.0 : 0.04;

    auto stroke = [&](const QColor &c, qreal width) {
        QPen pen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        p.strokePath(unitPath, pen);
    };
    stroke(style.rim, rim);
    stroke(style.body, body);
    if (shine > 0) {
        p.translate(-0.012, -0.018);
        stroke(style.shine, shine);
    }
    return img;
}

QPainterPath checkMark()
{
    QPainterPath path;
    path.moveTo(0.20, 0.54);
    path.lineTo(0.41, 0.75);
    path.lineTo(0.81, 0.26);
    return path;
}

QPainterPath cross()
{
    QPainterPath path;
    path.moveTo(0.26, 0.26);
    path.lineTo(0.74, 0.74);
    path.moveTo(0.74, 0.26);
    path.lineTo(0.26, 0.74);
    return path;
}

std::array<QImage, 4> drawAll()
{
    const Style red{QColor(128, 16, 16), QColor(222, 44, 38), QColor(250, 140, 130)};
    const Style green{QColor(20, 100, 28), QColor(52, 176, 60), QColor(160, 230, 150)};
    std::array<QImage, 4> images;
    images[CancelLarge] = strokeImage(LargeSize, cross(), red, false);
    images[CancelSmall] = strokeImage(SmallSize, cross(), red, true);
    images[OkLarge] = strokeImage(LargeSize, checkMark(), green, false);
    images[OkSmall] = strokeImage(SmallSize, checkMark(), green, true);
    return images;
}

} // namespace

const QImage &image(int index)
{
    static const std::array<QImage, 4> images = drawAll();
    return images[std::size_t(qBound(0, index, 3))];
}

} // namespace ButtonImages
