#include "DemoArt.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace DemoArt {
namespace {

void outline(QPainter &p, const QColor &c, qreal width)
{
    QPen pen(c, width);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    p.setPen(pen);
}

void drawPaint(QPainter &p, qreal s)
{
    // A palette with paint blobs and a brush across it.
    QPainterPath palette;
    palette.addEllipse(QRectF(0.08 * s, 0.18 * s, 0.78 * s, 0.62 * s));
    QPainterPath hole;
    hole.addEllipse(QRectF(0.56 * s, 0.52 * s, 0.13 * s, 0.13 * s));
    outline(p, QColor(0x6b, 0x43, 0x1f), 0.025 * s);
    p.setBrush(QColor(0xe8, 0xc0, 0x8a));
    p.drawPath(palette.subtracted(hole));
    const QColor blobs[] = {QColor(0xe5, 0x39, 0x35), QColor(0xfd, 0xd8, 0x35), QColor(0x43, 0xa0, 0x47),
                            QColor(0x1e, 0x88, 0xe5), QColor(0x8e, 0x24, 0xaa)};
    const QPointF centres[] = {{0.25, 0.38}, {0.40, 0.29}, {0.57, 0.31}, {0.24, 0.58}, {0.38, 0.66}};
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 5; ++i) {
        p.setBrush(blobs[i]);
        p.drawEllipse(QPointF(centres[i].x() * s, centres[i].y() * s), 0.07 * s, 0.07 * s);
    }
    // The brush.
    p.save();
    p.translate(0.62 * s, 0.62 * s);
    p.rotate(-45);
    p.setBrush(QColor(0x8d, 0x5a, 0x2b));
    outline(p, QColor(0x4e, 0x2e, 0x10), 0.015 * s);
    p.drawRoundedRect(QRectF(-0.04 * s, -0.05 * s, 0.08 * s, 0.42 * s), 0.03 * s, 0.03 * s);
    p.setBrush(QColor(0xb0, 0xb0, 0xb8));
    p.drawRect(QRectF(-0.05 * s, -0.13 * s, 0.10 * s, 0.09 * s));
    p.setBrush(QColor(0xe5, 0x39, 0x35));
    QPainterPath tip;
    tip.moveTo(-0.05 * s, -0.13 * s);
    tip.quadTo(0, -0.34 * s, 0.05 * s, -0.13 * s);
    tip.closeSubpath();
    p.drawPath(tip);
    p.restore();
}

void drawBreakout(QPainter &p, qreal s)
{
    const QColor rows[] = {QColor(0xe5, 0x39, 0x35), QColor(0xfb, 0x8c, 0x00), QColor(0xfd, 0xd8, 0x35),
                           QColor(0x43, 0xa0, 0x47)};
    outline(p, QColor(0x33, 0x33, 0x33), 0.012 * s);
    for (int r = 0; r < 4; ++r) {
        p.setBrush(rows[r]);
        for (int c = 0; c < 4; ++c) {
            if (r == 3 && c == 2)
                continue;
            p.drawRoundedRect(QRectF((0.08 + c * 0.215) * s, (0.10 + r * 0.10) * s, 0.19 * s, 0.08 * s),
                              0.015 * s, 0.015 * s);
        }
    }
    p.setBrush(QColor(0x1e, 0x88, 0xe5));
    p.drawEllipse(QPointF(0.60 * s, 0.64 * s), 0.055 * s, 0.055 * s);
    p.setBrush(QColor(0x54, 0x6e, 0x7a));
    p.drawRoundedRect(QRectF(0.30 * s, 0.84 * s, 0.40 * s, 0.07 * s), 0.03 * s, 0.03 * s);
    QPen dots(QColor(0x1e, 0x88, 0xe5), 0.02 * s, Qt::DotLine, Qt::RoundCap);
    p.setPen(dots);
    p.drawLine(QPointF(0.54 * s, 0.70 * s), QPointF(0.46 * s, 0.82 * s));
}

void drawBug(QPainter &p, qreal s)
{
    outline(p, QColor(0x21, 0x21, 0x21), 0.03 * s);
    for (int side : {-1, 1}) {
        for (int k = 0; k < 3; ++k) {
            const qreal y = (0.45 + k * 0.14) * s;
            p.drawLine(QPointF(0.5 * s + side * 0.18 * s, y), QPointF(0.5 * s + side * 0.36 * s, y + (k - 1) * 0.06 * s));
        }
        p.drawLine(QPointF(0.5 * s + side * 0.05 * s, 0.26 * s), QPointF(0.5 * s + side * 0.16 * s, 0.08 * s));
    }
    p.setBrush(QColor(0xe5, 0x39, 0x35));
    p.drawEllipse(QRectF(0.26 * s, 0.30 * s, 0.48 * s, 0.60 * s));
    p.drawLine(QPointF(0.5 * s, 0.34 * s), QPointF(0.5 * s, 0.90 * s));
    p.setBrush(QColor(0x21, 0x21, 0x21));
    p.drawEllipse(QRectF(0.37 * s, 0.16 * s, 0.26 * s, 0.20 * s));
    p.setPen(Qt::NoPen);
    for (const QPointF &spot : {QPointF(0.38, 0.50), QPointF(0.62, 0.50), QPointF(0.40, 0.72), QPointF(0.60, 0.72)})
        p.drawEllipse(QPointF(spot.x() * s, spot.y() * s), 0.05 * s, 0.05 * s);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(0.45 * s, 0.24 * s), 0.03 * s, 0.03 * s);
    p.drawEllipse(QPointF(0.55 * s, 0.24 * s), 0.03 * s, 0.03 * s);
}

void drawCalculator(QPainter &p, qreal s)
{
    outline(p, QColor(0x26, 0x32, 0x38), 0.025 * s);
    p.setBrush(QColor(0x45, 0x5a, 0x64));
    p.drawRoundedRect(QRectF(0.18 * s, 0.06 * s, 0.64 * s, 0.88 * s), 0.07 * s, 0.07 * s);
    p.setBrush(QColor(0xc5, 0xe1, 0xa5));
    p.drawRoundedRect(QRectF(0.26 * s, 0.14 * s, 0.48 * s, 0.18 * s), 0.03 * s, 0.03 * s);
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setPixelSize(int(0.13 * s));
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(0x26, 0x32, 0x38));
    p.drawText(QRectF(0.26 * s, 0.14 * s, 0.45 * s, 0.18 * s), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("42"));
    const QColor keys[] = {QColor(0xec, 0xef, 0xf1), QColor(0xff, 0xb7, 0x4d)};
    outline(p, QColor(0x26, 0x32, 0x38), 0.012 * s);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 3; ++c) {
            p.setBrush(keys[c == 2 ? 1 : 0]);
            p.drawRoundedRect(QRectF((0.26 + c * 0.165) * s, (0.38 + r * 0.135) * s, 0.14 * s, 0.11 * s),
                              0.02 * s, 0.02 * s);
        }
}

void drawClock(QPainter &p, qreal s)
{
    const QPointF c(0.5 * s, 0.5 * s);
    outline(p, QColor(0x0d, 0x47, 0xa1), 0.05 * s);
    p.setBrush(Qt::white);
    p.drawEllipse(c, 0.40 * s, 0.40 * s);
    outline(p, QColor(0x0d, 0x47, 0xa1), 0.025 * s);
    for (int h = 0; h < 12; ++h) {
        const qreal a = qDegreesToRadians(h * 30.0);
        const qreal inner = h % 3 == 0 ? 0.29 : 0.32;
        p.drawLine(c + QPointF(qSin(a) * inner * s, -qCos(a) * inner * s),
                   c + QPointF(qSin(a) * 0.35 * s, -qCos(a) * 0.35 * s));
    }
    outline(p, QColor(0x21, 0x21, 0x21), 0.045 * s);
    p.drawLine(c, c + QPointF(qSin(qDegreesToRadians(300.0)) * 0.18 * s, -qCos(qDegreesToRadians(300.0)) * 0.18 * s));
    outline(p, QColor(0x21, 0x21, 0x21), 0.03 * s);
    p.drawLine(c, c + QPointF(0, -0.28 * s));
    outline(p, QColor(0xe5, 0x39, 0x35), 0.015 * s);
    p.drawLine(c, c + QPointF(qSin(qDegreesToRadians(130.0)) * 0.30 * s, -qCos(qDegreesToRadians(130.0)) * 0.30 * s));
    p.setBrush(QColor(0xe5, 0x39, 0x35));
    p.drawEllipse(c, 0.03 * s, 0.03 * s);
}

void drawWindows(QPainter &p, qreal s)
{
    const QColor bars[] = {QColor(0x8e, 0x24, 0xaa), QColor(0x00, 0x89, 0x7b), QColor(0xfb, 0x8c, 0x00)};
    for (int i = 0; i < 3; ++i) {
        const QRectF frame((0.08 + i * 0.13) * s, (0.12 + i * 0.17) * s, 0.58 * s, 0.44 * s);
        outline(p, QColor(0x26, 0x32, 0x38), 0.02 * s);
        p.setBrush(Qt::white);
        p.drawRoundedRect(frame, 0.04 * s, 0.04 * s);
        p.setBrush(bars[i]);
        p.drawRoundedRect(QRectF(frame.left(), frame.top(), frame.width(), 0.10 * s), 0.04 * s, 0.04 * s);
    }
}

} // namespace

QImage Draw(const QString &name, const QColor &background, int size)
{
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(background);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    if (name == QLatin1String("paint"))
        drawPaint(p, s);
    else if (name == QLatin1String("breakout"))
        drawBreakout(p, s);
    else if (name == QLatin1String("bug"))
        drawBug(p, s);
    else if (name == QLatin1String("calculator"))
        drawCalculator(p, s);
    else if (name == QLatin1String("clock"))
        drawClock(p, s);
    else
        drawWindows(p, s);
    return image;
}

} // namespace DemoArt
