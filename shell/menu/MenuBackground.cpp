#include "MenuBackground.h"

#include "clsGradient.h"
#include "base/modGlobals.h"
#include "base/modUtil.h"

#include <OleColor.h>

#include <QImageReader>
#include <QPainter>

namespace MenuBackground {
namespace {

void paintGradient(const SettingsRecord &settings, QImage &image, const QRect &part, const QSize &whole)
{
    clsGradient gradient;
    gradient.setColor1(quint32(settings.Gradient1Color));
    gradient.setColor2(quint32(settings.Gradient2Color));
    gradient.setAngle(float(settings.GradientAngle));
    gradient.Draw(image, whole, part.topLeft());
}

// The largest rectangle of the picture's aspect ratio inside the area, centred.
QRect fitted(const QSize &picture, const QSize &area)
{
    const QSize scaled = picture.scaled(area, Qt::KeepAspectRatio);
    return QRect(QPoint((area.width() - scaled.width()) / 2, (area.height() - scaled.height()) / 2), scaled);
}

void paintPicture(const SettingsRecord &settings, const QImage &picture, QImage &image, const QRect &part,
                  const QSize &whole)
{
    QPainter painter(&image);
    painter.translate(-part.topLeft());
    if (settings.PictureStretch == 0) {
        painter.drawImage(QPoint(0, 0), picture);
        return;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    const QRect target = settings.PictureKeepAspect != 0 ? fitted(picture.size(), whole) : QRect(QPoint(), whole);
    painter.drawImage(target, picture);
}

// The dots sit on multiples of the grid size of the whole area.
void paintGrid(const SettingsRecord &settings, QImage &image, const QRect &part)
{
    const int step = settings.GridSize;
    if (step <= 0)
        return;
    const QRgb red = qRgb(255, 0, 0);
    const auto firstDot = [step](int from) { return (from + step - 1) / step * step; };
    for (int y = firstDot(part.top()); y <= part.bottom(); y += step)
        for (int x = firstDot(part.left()); x <= part.right(); x += step)
            image.setPixel(x - part.left(), y - part.top(), red);
}

} // namespace

QImage Paint(SettingsRecord &settings, const QSize &size, bool editMode)
{
    return Paint(settings, size, editMode, QRect(QPoint(0, 0), size));
}

QImage Paint(SettingsRecord &settings, const QSize &size, bool editMode, const QRect &part)
{
    const QSize whole = size.expandedTo(QSize(1, 1));
    const QRect area = part.intersected(QRect(QPoint(0, 0), whole));
    QImage image(area.size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    image.fill(OleColor::toQColor(quint32(settings.ScreenBackColor)));

    if (settings.BackgroundStyle == Gradient) {
        paintGradient(settings, image, area, whole);
    } else if (settings.BackgroundStyle == Picture) {
        const QString path = modUtil::LocalPath(modUtil::ExpandPathVars(settings.BackgroundPicture));
        if (!modGlobals::FileExists(path)) {
            settings.BackgroundStyle = StaticColour;
        } else {
            if (settings.GradientBehindPicture != 0)
                paintGradient(settings, image, area, whole);
            QImageReader reader(path);
            reader.setAutoTransform(true);
            const QImage picture = reader.read();
            // A file that is no picture leaves the background without one.
            if (!picture.isNull())
                paintPicture(settings, picture, image, area, whole);
        }
    }

    if (editMode && settings.SnapToGrid == 1)
        paintGrid(settings, image, area);
    return image;
}

} // namespace MenuBackground
