#include "MenuTestKit.h"

#include "menu/MenuBackground.h"
#include "menu/clsGradient.h"
#include "modGlobals.h"

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

class tst_MenuBackground : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void staticColour();
    void gradient();
    void picture_data();
    void picture();
    void missingPictureFallsBackToColour();
    void gridDots_data();
    void gridDots();

private:
    std::unique_ptr<MenuWorld> m_world;
};

void tst_MenuBackground::init()
{
    m_world = std::make_unique<MenuWorld>();
    SS.ScreenBackColor = ole(10, 20, 30);
    SS.Gradient1Color = ole(0, 0, 0);
    SS.Gradient2Color = ole(0, 250, 0);
    SS.GradientAngle = 0;
    SS.GradientBehindPicture = 0;
    SS.SnapToGrid = 0;
}

void tst_MenuBackground::cleanup()
{
    m_world.reset();
}

void tst_MenuBackground::staticColour()
{
    SS.BackgroundStyle = MenuBackground::StaticColour;
    const QImage image = MenuBackground::Paint(SS, QSize(50, 40), false);
    QCOMPARE(image.size(), QSize(50, 40));
    for (const QPoint &p : {QPoint(0, 0), QPoint(49, 39), QPoint(25, 20)})
        QCOMPARE(image.pixel(p), Back);
}

void tst_MenuBackground::gradient()
{
    SS.BackgroundStyle = MenuBackground::Gradient;
    const QSize size(120, 80);
    const QImage image = MenuBackground::Paint(SS, size, false);
    QCOMPARE(image.pixel(0, 40), qRgb(0, 0, 0));
    QCOMPARE(image.pixel(119, 40), qRgb(0, 250, 0));
    QCOMPARE(image.pixel(60, 10), gradientAt(size, 60, 10));
}

void tst_MenuBackground::picture_data()
{
    QTest::addColumn<bool>("stretch");
    QTest::addColumn<bool>("aspect");
    QTest::addColumn<bool>("behind");
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<QString>("expected"); // "left", "right", "back" or "gradient"

    // The area is 200 x 200; the picture 40 x 20.
    QTest::newRow("copied: top-left in its own size") << false << false << false << QPoint(5, 5) << "left";
    QTest::newRow("copied: right half") << false << false << false << QPoint(35, 15) << "right";
    QTest::newRow("copied: nothing beyond it") << false << false << false << QPoint(100, 100) << "back";
    QTest::newRow("copied over the gradient") << false << false << true << QPoint(100, 100) << "gradient";
    QTest::newRow("stretched: left half") << true << false << false << QPoint(90, 190) << "left";
    QTest::newRow("stretched: right half") << true << false << false << QPoint(110, 5) << "right";
    QTest::newRow("aspect: band in the middle") << true << true << false << QPoint(20, 100) << "left";
    QTest::newRow("aspect: right of the band") << true << true << false << QPoint(180, 100) << "right";
    QTest::newRow("aspect: above the band") << true << true << false << QPoint(100, 20) << "back";
    QTest::newRow("aspect: below the band, gradient") << true << true << true << QPoint(100, 180) << "gradient";
}

void tst_MenuBackground::picture()
{
    QFETCH(bool, stretch);
    QFETCH(bool, aspect);
    QFETCH(bool, behind);
    QFETCH(QPoint, point);
    QFETCH(QString, expected);
    writePicture(m_world->env.path(QStringLiteral("pics/back.bmp")));
    SS.BackgroundStyle = MenuBackground::Picture;
    SS.BackgroundPicture = QStringLiteral(".\\pics\\back.bmp");
    SS.PictureStretch = stretch ? VbTrue : VbFalse;
    SS.PictureKeepAspect = aspect ? VbTrue : VbFalse;
    SS.GradientBehindPicture = behind ? VbTrue : VbFalse;
    const QSize size(200, 200);
    const QImage image = MenuBackground::Paint(SS, size, false);
    const QRgb want = expected == QLatin1String("left") ? Left
                      : expected == QLatin1String("right") ? Right
                      : expected == QLatin1String("back") ? Back
                                                          : gradientAt(size, point.x(), point.y());
    QCOMPARE(image.pixel(point), want);
    QCOMPARE(SS.BackgroundStyle, qint32(MenuBackground::Picture));
}

void tst_MenuBackground::missingPictureFallsBackToColour()
{
    SS.BackgroundStyle = MenuBackground::Picture;
    SS.BackgroundPicture = QStringLiteral(".\\pics\\gone.bmp");
    SS.GradientBehindPicture = VbTrue;
    const QImage image = MenuBackground::Paint(SS, QSize(60, 60), false);
    QCOMPARE(SS.BackgroundStyle, qint32(MenuBackground::StaticColour));
    QCOMPARE(image.pixel(59, 30), Back);
    QCOMPARE(image.pixel(0, 0), Back);
}

void tst_MenuBackground::gridDots_data()
{
    QTest::addColumn<bool>("editMode");
    QTest::addColumn<int>("snap");
    QTest::addColumn<int>("grid");
    QTest::addColumn<bool>("dots");

    QTest::newRow("edit mode, snap on") << true << 1 << 30 << true;
    QTest::newRow("run mode") << false << 1 << 30 << false;
    QTest::newRow("snap off") << true << 0 << 30 << false;
    QTest::newRow("grid size 0 draws none") << true << 1 << 0 << false;
    QTest::newRow("negative grid size draws none") << true << 1 << -5 << false;
}

void tst_MenuBackground::gridDots()
{
    QFETCH(bool, editMode);
    QFETCH(int, snap);
    QFETCH(int, grid);
    QFETCH(bool, dots);
    SS.BackgroundStyle = MenuBackground::StaticColour;
    SS.SnapToGrid = snap;
    SS.GridSize = grid;
    const QImage image = MenuBackground::Paint(SS, QSize(100, 70), editMode);
    const QRgb red = qRgb(255, 0, 0);
    int reds = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == red) {
                ++reds;
                QVERIFY2(grid > 0 && x % grid == 0 && y % grid == 0,
                         qPrintable(QStringLiteral("dot at %1,%2").arg(x).arg(y)));
            }
    // 0, 30, 60, 90 across and 0, 30, 60 down.
    QCOMPARE(reds, dots ? 4 * 3 : 0);
}

QTEST_MAIN(tst_MenuBackground)
#include "tst_menubackground.moc"
