#pragma once

#include <QColor>
#include <QImage>
#include <QString>

// Pictures for the demo menu, drawn here so the folder needs no image files
// from elsewhere. Each picture is drawn on the button's own colour, which the
// button control treats as transparent.
namespace DemoArt {

QImage Draw(const QString &name, const QColor &background, int size);

} // namespace DemoArt
