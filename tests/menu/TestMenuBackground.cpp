#include "TestEnv.h"

#include "base/modGlobals.h"
#include "menu/MenuBackground.h"

#include <QDir>
#include <QImage>
#include <QtTest>

namespace {

const QRgb Back = qRgb(10, 20, 30);
const QRgb Left = qRgb(255, 0, 0);
const QRgb Right = qRgb(0, 0, 255);

} // namespace

class TestMenuBackground : public QObject
{
    Q_OBJECT

private slots:
    void paint_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<QString>("file");    // the background picture, 40 x 20
        QTest::addColumn<bool>("stretch");
        QTest::addColumn<bool>("aspect");
        QTest::addColumn<bool>("behind");
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<QRgb>("expected");

        const int colour = MenuBackground::StaticColour, gradient = MenuBackground::Gradient, picture = MenuBackground::Picture;
        const QString pic = QStringLiteral(".\\pics\\back.bmp");
        // The area is 200 x 200; the gradient at 0 degrees runs from black on
        // the left to green 250 in 200 lines, 1.25 a line.
        QTest::newRow("gradient") << gradient << pic << false << false << false << QPoint(60, 10) << qRgb(0, 75, 0);
        QTest::newRow("copied: top-left in its own size") << picture << pic << false << false << false << QPoint(5, 5) << Left;
        QTest::newRow("copied over the gradient") << picture << pic << false << false << true << QPoint(100, 100) << qRgb(0, 125, 0);
        QTest::newRow("static colour") << colour << pic << false << false << true << QPoint(199, 0) << Back;
        QTest::newRow("stretched") << picture << pic << true << false << false << QPoint(110, 5) << Right;
        QTest::newRow("aspect: band in the middle") << picture << pic << true << true << false << QPoint(20, 100) << Left;
        QTest::newRow("aspect: below the band, gradient") << picture << pic << true << true << true << QPoint(100, 180) << qRgb(0, 125, 0);
        // A missing picture falls back to the colour, for good.
        QTest::newRow("missing picture") << picture << ".\\pics\\gone.bmp" << false << false << true << QPoint(199, 0) << Back;
    }

    void paint()
    {
        QFETCH(int, style);
        QFETCH(QString, file);
        QFETCH(bool, stretch);
        QFETCH(bool, aspect);
        QFETCH(bool, behind);
        QFETCH(QPoint, point);
        QFETCH(QRgb, expected);
        TestEnv env;
        modGlobals::SetAppPath(env.programFolder());
        QImage picture(40, 20, QImage::Format_RGB32); // red left half, blue right half
        for (int x = 0; x < 40; ++x)
            for (int y = 0; y < 20; ++y)
                picture.setPixel(x, y, x < 20 ? Left : Right);
        QVERIFY(QDir().mkpath(env.path(QStringLiteral("pics"))) && picture.save(env.path(QStringLiteral("pics/back.bmp"))));
        SettingsRecord settings;
        settings.ScreenBackColor = 10 | (20 << 8) | (30 << 16);
        settings.Gradient2Color = 250 << 8;
        settings.BackgroundStyle = style;
        settings.BackgroundPicture = file;
        settings.PictureStretch = stretch ? VbTrue : VbFalse;
        settings.PictureKeepAspect = aspect ? VbTrue : VbFalse;
        settings.GradientBehindPicture = behind ? VbTrue : VbFalse;
        const QImage image = MenuBackground::Paint(settings, QSize(200, 200), false);
        QCOMPARE(image.size(), QSize(200, 200));
        QCOMPARE(image.pixel(point), expected);
        const bool missing = file.contains(QLatin1String("gone"));
        QCOMPARE(settings.BackgroundStyle, missing ? qint32(MenuBackground::StaticColour) : qint32(style));
    }
};

QTEST_MAIN(TestMenuBackground)
#include "TestMenuBackground.moc"
