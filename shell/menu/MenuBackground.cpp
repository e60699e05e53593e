#include "MenuBackground.h"

#include "clsGradient.h"
#include "base/modGlobals.h"
#include "base/modUtil.h"

#include <OleColor.h>

#include <QImageReader>
#include <QPainter>

namespace MenuBackground {
namespace {

void paintGradient(const SettingsRecord &settings, QImage &image)
{
    clsGradient gradient;
    gradient.setColor1(quint32(settings.Gradient1Color));
    gradient.setColor2(quint32(settings.Gradient2Color));
    gradient.setAngle(float(settings.GradientAngle));
    gradient.Draw(image);
}

// The largest rectangle of the picture's aspect ratio inside the area, centred.
QRect fitted(const QSize &picture, const QSize &area)
{
    const QSize scaled = picture.scaled(area, Qt::KeepAspectRatio);
    return QRect(QPoint((area.width() - scaled.width()) / 2, (area.height() - scaled.height()) / 2), scaled);
}

void paintPicture(const SettingsRecord &settings, const QImage &picture, QImage &image)
{
    QPainter painter(&image);
    if (settings.PictureStretch == 0) {
        painter.drawImage(QPoint(0, 0), picture);
        return;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    const QRect target = settings.PictureKeepAspect != 0 ? fitted(picture.size(), image.size())
                                                         : image.rect();
    painter.drawImage(target, picture);
}

void paintGrid(const SettingsRecord &settings, QImage &image)
{
    const int step = settings.GridSize;
    if (step <= 0)
        return;
    const QRgb red = qRgb(255, 0, 0);
    for (int y = 0; y < image.height(); y += step)
        for (int x = 0; x < image.width(); x += step)
            image.setPixel(x, y, red);
}

} // namespace

QImage Paint(SettingsRecord &settings, const QSize &size, bool editMode)
{
    QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    image.fill(OleColor::toQColor(quint32(settings.ScreenBackColor)));

    if (settings.BackgroundStyle == Gradient) {
        paintGradient(settings, image);
    } else if (settings.BackgroundStyle == Picture) {
        const QString path = modUtil::LocalPath(modUtil::ExpandPathVars(settings.BackgroundPicture));
        if (!modGlobals::FileExists(path)) {
            settings.BackgroundStyle = StaticColour;
        } else {
            if (settings.GradientBehindPicture != 0)
                paintGradient(settings, image);
            QImageReader reader(path);
            reader.setAutoTransform(true);
            const QImage picture = reader.read();
            // A file that is no picture leaves the background without one.
            if (!picture.isNull())
                paintPicture(settings, picture, image);
        }
    }

    if (editMode && settings.SnapToGrid == 1)
        paintGrid(settings, image);
    return image;
}

} // namespace MenuBackground
