#pragma once

#include <QList>
#include <QPair>
#include <QPointF>
#include <QRect>

#include <optional>

// The arithmetic of arranging buttons in edit mode, on rectangles in pixels
// of the menu form. The editor applies the results to the controls and the
// records; nothing here knows either.
namespace MenuLayout {

// To the nearest multiple of the grid; a remainder of exactly half a step goes down.
int Snapped(int value, int grid);
QRect Snapped(const QRect &rect, int grid);

// Where a button goes when aligned with the reference button: 0 Left,
// 1 Center, 2 Right, 3 Top, 4 Middle, 5 Bottom. No value for another mode.
std::optional<QPointF> Aligned(const QRect &reference, const QRect &button, int mode);

// A button's size after "same size" as the reference: 0 Width, 1 Height, 2 Both.
QSize SameSize(const QRect &reference, const QRect &button, int mode);

// Spacing of the selection, given in index order: 0 horizontal equal,
// 1 horizontal remove, 2 vertical equal, 3 vertical remove. The new position
// along the axis of every button that moves, as (index, position).
using Placed = QList<QPair<int, QRect>>;
QList<QPair<int, int>> Spaced(const Placed &selected, int mode);

// The top-left that keeps a dropped button inside the form.
QPoint KeptInside(const QRect &button, const QSize &form);

} // namespace MenuLayout
