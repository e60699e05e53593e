#include "MenuTestKit.h"

#include "menu/MenuBackground.h"
#include "menu/clsGradient.h"
#include "base/modGlobals.h"

#include <QDir>
#include <QImage>
#include <QtTest>

using modGlobals::SS;

namespace {

constexpr qint32 ole(int r, int g, int b)
{
    return r | (g << 8) | (b << 16);
}

const QRgb Back = qRgb(10, 20, 30);
const QRgb Left = qRgb(255, 0, 0);
const QRgb Right = qRgb(0, 0, 255);

// A 40 x 20 picture: red left half, blue right half.
void writePicture(const QString &path)
{
    QImage picture(40, 20, QImage::Format_RGB32);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            picture.setPixel(x, y, x < 20 ? Left : Right);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QVERIFY(picture.save(path, "BMP"));
}

QRgb gradientAt(const QSize &size, int x, int y)
{
    QImage image(size, QImage::Format_RGB32);
    clsGradient gradient;
    gradient.setColor1(quint32(SS.Gradient1Color));
    gradient.setColor2(quint32(SS.Gradient2Color));
    gradient.setAngle(float(SS.GradientAngle));
    gradient.Draw(image);
    return image.pixel(x, y);
}

} // namespace

class TestMenuBackground : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_world = std::make_unique<MenuWorld>();
        SS.ScreenBackColor = ole(10, 20, 30);
        SS.Gradient1Color = ole(0, 0, 0);
        SS.Gradient2Color = ole(0, 250, 0);
        SS.GradientAngle = 0;
        SS.GradientBehindPicture = 0;
        SS.SnapToGrid = 0;
    }

    void cleanup() { m_world.reset(); }

    void paint_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<QString>("file");    // the background picture, 40 x 20
        QTest::addColumn<bool>("stretch");
        QTest::addColumn<bool>("aspect");
        QTest::addColumn<bool>("behind");
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<QString>("expected"); // "left", "right", "back" or "gradient"

        const int colour = MenuBackground::StaticColour, gradient = MenuBackground::Gradient, picture = MenuBackground::Picture;
        const QString pic = QStringLiteral(".\\pics\\back.bmp");
        // The area is 200 x 200.
        QTest::newRow("gradient") << gradient << pic << false << false << false << QPoint(60, 10) << "gradient";
        QTest::newRow("copied: top-left in its own size") << picture << pic << false << false << false << QPoint(5, 5) << "left";
        QTest::newRow("copied over the gradient") << picture << pic << false << false << true << QPoint(100, 100) << "gradient";
        QTest::newRow("static colour") << colour << pic << false << false << true << QPoint(199, 0) << "back";
        QTest::newRow("stretched") << picture << pic << true << false << false << QPoint(110, 5) << "right";
        QTest::newRow("aspect: band in the middle") << picture << pic << true << true << false << QPoint(20, 100) << "left";
        QTest::newRow("aspect: below the band, gradient") << picture << pic << true << true << true << QPoint(100, 180) << "gradient";
        // A missing picture falls back to the colour, for good.
        QTest::newRow("missing picture") << picture << ".\\pics\\gone.bmp" << false << false << true << QPoint(199, 0) << "back";
    }

    void paint()
    {
        QFETCH(int, style);
        QFETCH(QString, file);
        QFETCH(bool, stretch);
        QFETCH(bool, aspect);
        QFETCH(bool, behind);
        QFETCH(QPoint, point);
        QFETCH(QString, expected);
        writePicture(m_world->env.path(QStringLiteral("pics/back.bmp")));
        SS.BackgroundStyle = style;
        SS.BackgroundPicture = file;
        SS.PictureStretch = stretch ? VbTrue : VbFalse;
        SS.PictureKeepAspect = aspect ? VbTrue : VbFalse;
        SS.GradientBehindPicture = behind ? VbTrue : VbFalse;
        const QSize size(200, 200);
        const QImage image = MenuBackground::Paint(SS, size, false);
        QCOMPARE(image.size(), size);
        const QRgb want = expected == QLatin1String("left") ? Left
                          : expected == QLatin1String("right") ? Right
                          : expected == QLatin1String("back") ? Back
                                                              : gradientAt(size, point.x(), point.y());
        QCOMPARE(image.pixel(point), want);
        const bool missing = file.contains(QLatin1String("gone"));
        QCOMPARE(SS.BackgroundStyle, missing ? qint32(MenuBackground::StaticColour) : qint32(style));
    }

private:
    std::unique_ptr<MenuWorld> m_world;
};

QTEST_MAIN(TestMenuBackground)
#include "TestMenuBackground.moc"
