// The menu's pictures: the gradient's colours and lines, the background over
// it, and what each kind of button link shows.
#include "TestEnv.h"

#include "base/modGlobals.h"
#include "menu/ButtonPicture.h"
#include "menu/MenuBackground.h"
#include "menu/clsGradient.h"

#include <QDir>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QtTest>

#include <cmath>

using Table = QList<QRgb>;
Q_DECLARE_METATYPE(Table)

namespace {

constexpr quint32 ole(int r, int g, int b)
{
    return quint32(r) | (quint32(g) << 8) | (quint32(b) << 16);
}

// A colour no line can have: the gradients below keep blue at 0.
const QRgb Sentinel = qRgb(1, 2, 250);

const QRgb Back = qRgb(10, 20, 30);
const QRgb Left = qRgb(255, 0, 0);
const QRgb Right = qRgb(0, 0, 255);

// The gradient over an area of this size, or only the given part of it.
QImage drawn(float angle, const QSize &size, bool &ok, const QRect &part = QRect())
{
    const QRect area = part.isNull() ? QRect(QPoint(0, 0), size) : part;
    QImage image(area.size(), QImage::Format_RGB32);
    image.fill(Sentinel);
    clsGradient gradient;
    gradient.setColor1(ole(0, 250, 0));
    gradient.setColor2(ole(180, 0, 0));
    gradient.setAngle(angle);
    ok = gradient.Draw(image, size, area.topLeft());
    return image;
}

const QRgb Red = qRgb(220, 0, 0);
const QRgb Cyan = qRgb(0, 200, 200);
const QRgb Yellow = qRgb(230, 220, 0);
const QRgb Green = qRgb(0, 160, 0);   // theme icon brindle-test-app, 32 px
const QRgb Blue = qRgb(0, 0, 200);    // the same, 16 px
const QRgb Orange = qRgb(250, 140, 0); // application-x-executable
const QRgb Purple = qRgb(120, 0, 140); // text-x-generic

void writeImage(const QString &path, const QSize &size, QRgb colour, const char *format)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    QVERIFY2(image.save(path, format), qPrintable(path));
}

// An icon theme of our own, over the system's, so that every choice has a
// colour of its own.
void installTestTheme(const QString &root)
{
    const QString theme = root + QStringLiteral("/BrindleTest/");
    QVERIFY(writeFile(theme + QStringLiteral("index.theme"),
              "[Icon Theme]\nName=BrindleTest\nInherits=Adwaita,hicolor\n"
              "Directories=16x16/apps,32x32/apps,32x32/mimetypes\n\n"
              "[16x16/apps]\nSize=16\nType=Fixed\n\n"
              "[32x32/apps]\nSize=32\nType=Fixed\n\n"
              "[32x32/mimetypes]\nSize=32\nType=Fixed\n"));
    writeImage(theme + QStringLiteral("32x32/apps/brindle-test-app.png"), QSize(32, 32), Green, "PNG");
    writeImage(theme + QStringLiteral("16x16/apps/brindle-test-app.png"), QSize(16, 16), Blue, "PNG");
    writeImage(theme + QStringLiteral("32x32/mimetypes/application-x-executable.png"), QSize(32, 32), Orange, "PNG");
    writeImage(theme + QStringLiteral("32x32/mimetypes/text-x-generic.png"), QSize(32, 32), Purple, "PNG");
    QIcon::setThemeSearchPaths(QStringList{root} + QIcon::themeSearchPaths());
    QIcon::setThemeName(QStringLiteral("BrindleTest"));
}

} // namespace

class TestMenuPictures : public QObject
{
    Q_OBJECT

private slots:
    // Before anything else chose a theme: a plain Debian still gets file-type icons.
    void iconThemeOnPlainSystem()
    {
        ButtonPicture::EnsureIconTheme();
        QVERIFY2(!QIcon::themeName().isEmpty(), "no icon theme");
        QVERIFY2(QIcon::hasThemeIcon(QStringLiteral("text-x-generic")),
                 qPrintable(QStringLiteral("theme %1 has no file-type icons").arg(QIcon::themeName())));
    }

    void init()
    {
        m_env = std::make_unique<TestEnv>();
        modGlobals::SetAppPath(m_env->programFolder());
        ButtonPicture::ClearCache();
        const QString app = m_env->programFolder();
        qputenv("XDG_DATA_HOME", QFile::encodeName(app + QStringLiteral("share")));

        writeImage(app + QStringLiteral("pics/red.bmp"), QSize(48, 30), Red, "BMP");
        writeImage(app + QStringLiteral("pics/cyan.ico"), QSize(64, 64), Cyan, "ICO");
        writeImage(app + QStringLiteral("pics/yellow.png"), QSize(48, 48), Yellow, "PNG");
        writeImage(app + QStringLiteral("pics/yellow.bmp"), QSize(20, 10), Yellow, "PNG");
        QVERIFY(writeFile(app + QStringLiteral("pics/broken.bmp"), "not a picture"));
        QVERIFY(writeFile(app + QStringLiteral("notes.txt"), "hello\n"));
        QVERIFY(writeFile(app + QStringLiteral("links/file-icon.desktop"),
                  "[Desktop Entry]\nType=Application\nName=A\nExec=true\nIcon=" + QFile::encodeName(app)
                      + "pics/yellow.png\n"));
        QVERIFY(writeFile(app + QStringLiteral("links/theme-icon.desktop"),
                  "[Desktop Entry]\nType=Application\nName=B\nExec=true\nIcon=brindle-test-app\n"
                  "[Desktop Action x]\nIcon=text-x-generic\n"));
        // Programs, and the desktop entries that start them.
        QVERIFY(writeFile(app + QStringLiteral("games/bounce"), "#!/bin/sh\n", true));
        QVERIFY(writeFile(app + QStringLiteral("games/plain"), "#!/bin/sh\n", true));
        QVERIFY(writeFile(app + QStringLiteral("share/applications/bounce.desktop"),
                  "[Desktop Entry]\nType=Application\nName=Bounce\nExec=" + QFile::encodeName(app)
                      + "games/bounce --full %U\nIcon=brindle-test-app\n"));
    }

    void cleanup() { m_env.reset(); }

    void choices_data()
    {
        installTestTheme(m_themes.path());
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("size");
        QTest::addColumn<QSize>("expectedSize"); // empty: no picture
        QTest::addColumn<QRgb>("centre");

        QTest::newRow("missing file") << ".\\pics\\gone.bmp" << 0 << QSize() << QRgb(0);
        QTest::newRow("bitmap in its own size") << ".\\pics\\red.bmp" << 0 << QSize(48, 30) << Red;
        QTest::newRow("named .bmp, holding a PNG") << ".\\pics\\yellow.bmp" << 0 << QSize(20, 10) << Yellow;
        QTest::newRow("broken picture file") << ".\\pics\\broken.bmp" << 0 << QSize() << QRgb(0);
        QTest::newRow("icon file, small") << ".\\pics\\cyan.ico" << 1 << QSize(16, 16) << Cyan;
        QTest::newRow("desktop entry, icon file") << ".\\links\\file-icon.desktop" << 0 << QSize(32, 32) << Yellow;
        QTest::newRow("desktop entry, theme icon small") << ".\\links\\theme-icon.desktop" << 1 << QSize(16, 16) << Blue;
        QTest::newRow("program with a desktop entry") << ".\\games\\bounce" << 0 << QSize(32, 32) << Green;
        QTest::newRow("program without an entry") << ".\\games\\plain" << 0 << QSize(32, 32) << Orange;
        QTest::newRow("document: its type's icon") << ".\\notes.txt" << 0 << QSize(32, 32) << Purple;
    }

    void choices()
    {
        QFETCH(QString, path);
        QFETCH(int, size);
        QFETCH(QSize, expectedSize);
        QFETCH(QRgb, centre);
        const QPixmap picture = ButtonPicture::LoadButtonPicture(path, size);
        if (expectedSize.isEmpty()) {
            QVERIFY(picture.isNull());
            return;
        }
        QVERIFY(!picture.isNull());
        QCOMPARE(picture.size(), expectedSize);
        const QImage image = picture.toImage();
        QCOMPARE(QColor(image.pixel(expectedSize.width() / 2, expectedSize.height() / 2)).rgb(), centre);
    }

    void colorTable_data()
    {
        QTest::addColumn<quint32>("c1");
        QTest::addColumn<quint32>("c2");
        QTest::addColumn<int>("count");
        QTest::addColumn<Table>("expected");

        // Line i between: c1 + i * (c2 - c1) / count; the last line is c2 itself.
        QTest::newRow("red ramp of four")
            << ole(0, 0, 0) << ole(255, 0, 0) << 4 << Table{qRgb(0, 0, 0), qRgb(64, 0, 0), qRgb(128, 0, 0), qRgb(255, 0, 0)};
        QTest::newRow("halves go to even, down and up")
            << ole(0, 0, 0) << ole(5, 7, 0) << 4 << Table{qRgb(0, 0, 0), qRgb(1, 2, 0), qRgb(2, 4, 0), qRgb(5, 7, 0)};
        QTest::newRow("channels apart")
            << ole(0, 100, 200) << ole(90, 40, 0) << 3 << Table{qRgb(0, 100, 200), qRgb(30, 80, 133), qRgb(90, 40, 0)};
    }

    void colorTable()
    {
        QFETCH(quint32, c1);
        QFETCH(quint32, c2);
        QFETCH(int, count);
        QFETCH(Table, expected);
        QCOMPARE(clsGradient::ColorTable(c1, c2, count), expected);
    }

    // Lines one pixel apart leave no gap at any angle, in the direction of the
    // angle; an area too small draws nothing.
    void coversEveryPixel_data()
    {
        QTest::addColumn<float>("angle");
        QTest::addColumn<QSize>("size");
        for (float angle : {17.0f, 89.0f, 135.0f, 200.0f, 300.0f})
            QTest::addRow("%g degrees", double(angle)) << angle << QSize(50, 170);
        QTest::newRow("1 high: nothing") << 30.0f << QSize(40, 1);
        QTest::newRow("not a number is 0") << std::nanf("") << QSize(20, 20);
    }

    void coversEveryPixel()
    {
        QFETCH(float, angle);
        QFETCH(QSize, size);
        bool ok = false;
        const QImage image = drawn(angle, size, ok);
        QCOMPARE(ok, size.height() > 1);
        // Along the gradient's direction (screen y grows downwards) the colour
        // goes from Color1 (green) to Color2 (red): green never rises.
        const double rad = std::isfinite(angle) ? double(angle) * M_PI / 180.0 : 0.0;
        const double dx = std::cos(rad), dy = -std::sin(rad);
        auto green = [&](int x, int y) { return qGreen(image.pixel(x, y)); };
        for (int y = 0; y < size.height(); ++y) {
            for (int x = 0; x < size.width(); ++x) {
                const bool rises = (x + 1 < size.width() && (green(x + 1, y) - green(x, y)) * dx > 1e-9)
                                   || (y + 1 < size.height() && (green(x, y + 1) - green(x, y)) * dy > 1e-9);
                if ((image.pixel(x, y) == Sentinel) == ok || (ok && rises))
                    QFAIL(qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
            }
        }
        // A strip drawn alone is that strip of the whole.
        const QRect strip = QRect(9, 31, 13, 29) & image.rect();
        if (ok && !strip.isEmpty())
            QCOMPARE(drawn(angle, size, ok, strip), image.copy(strip));
    }

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
        // A part painted alone is that part of the whole, edit mode's grid included.
        settings.SnapToGrid = 1;
        settings.GridSize = 4;
        const QRect part = QRect(point - QPoint(7, 3), QSize(23, 11)) & image.rect();
        QCOMPARE(MenuBackground::Paint(settings, QSize(200, 200), true, part),
                 MenuBackground::Paint(settings, QSize(200, 200), true).copy(part));
    }

private:
    std::unique_ptr<TestEnv> m_env;
    QTemporaryDir m_themes;
};

QTEST_MAIN(TestMenuPictures)
#include "TestMenuPictures.moc"
