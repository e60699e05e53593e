#include "TestEnv.h"

#include "base/modGlobals.h"
#include "menu/ButtonPicture.h"

#include <QDir>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QtTest>

namespace {

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

class TestButtonPicture : public QObject
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

private:
    std::unique_ptr<TestEnv> m_env;
    QTemporaryDir m_themes;
};

QTEST_MAIN(TestButtonPicture)
#include "TestButtonPicture.moc"
