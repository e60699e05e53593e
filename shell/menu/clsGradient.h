#pragma once

#include <QList>
#include <QPoint>
#include <QPalette>
#include <QRgb>
#include <QSize>

class QImage;

// Paints a linear gradient as parallel lines one pixel apart, each in its own
// colour, across an area. Angle 0 runs from Color1 at the left edge to Color2
// at the right; the direction turns counter-clockwise with the angle (90 runs
// from the bottom up, 270 from the top down).
class clsGradient
{
public:
    // Stored colours, 0x00BBGGRR. A system-colour reference is replaced by
    // that colour's present value when it is set.
    quint32 Color1() const { return m_color1; }
    void setColor1(quint32 value);
    quint32 Color2() const { return m_color2; }
    void setColor2(quint32 value);

    // Degrees, kept reduced to 0 <= angle < 360.
    float Angle() const { return m_angle; }
    void setAngle(float value);

    // Covers the image with the part at offset of the gradient over an area
    // of size whole, so that a strip can be painted without the rest. False
    // when the area is not larger than 1 x 1 pixel in both directions or no
    // line was drawn.
    bool Draw(QImage &target, const QSize &whole, const QPoint &offset) const;

    // The colour of each of count lines: the first is c1, the last c2, line i
    // between them c1 + i * (c2 - c1) / count per channel, halves to even.
    static QList<QRgb> ColorTable(quint32 c1, quint32 c2, int count);

    // angle - Int(angle / 360) * 360, so -90 becomes 270.
    static float ReduceAngle(float angle);

    // A negative value whose low 31 bits are below 25 names a system colour;
    // it becomes that colour's value. Anything else is returned as it is.
    static quint32 ResolveColor(quint32 value, const QPalette &palette = QPalette());

private:
    quint32 m_color1 = 0;
    quint32 m_color2 = 0;
    float m_angle = 0.0f;
};
