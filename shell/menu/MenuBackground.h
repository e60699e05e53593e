#pragma once

#include "data/SettingsRecord.h"

#include <QImage>
#include <QRect>
#include <QSize>

// The menu's background: a static colour, a gradient, or a picture (stretched,
// kept in aspect or copied, optionally over the gradient), with the grid dots
// of edit mode on top.
namespace MenuBackground {

enum Style { StaticColour = 0, Gradient = 1, Picture = 2 };

// Paints the background for a client area of this size. A picture file that
// does not exist switches settings.BackgroundStyle to the static colour (in
// memory only) and the static colour is painted.
QImage Paint(SettingsRecord &settings, const QSize &size, bool editMode);
// The same, but only the part of it inside the given rectangle.
QImage Paint(SettingsRecord &settings, const QSize &size, bool editMode, const QRect &part);

} // namespace MenuBackground
