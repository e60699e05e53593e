#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>

#include <functional>

class QWidget;

// Small helpers for looking at rendered widgets pixel by pixel.
namespace PixelProbe {

using Predicate = std::function<bool(QRgb)>;

// The widget as rendered now (QWidget::grab), as opaque RGB.
QImage render(QWidget *widget);

QRgb at(const QImage &image, int x, int y);

// Bounding rectangle of the pixels that match, null when none does.
QRect bounds(const QImage &image, const Predicate &match);

int count(const QImage &image, const Predicate &match, const QRect &area = QRect());

// Pixels that differ between two images of the same size.
QList<QPoint> differences(const QImage &a, const QImage &b);

// True when p lies on the one-pixel outline of rect.
bool onOutline(const QPoint &p, const QRect &rect);

Predicate sameAs(const QColor &color);

} // namespace PixelProbe
