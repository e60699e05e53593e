#include "menu/clsGradient.h"

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

QImage drawn(float angle, const QSize &size, bool *result = nullptr)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Sentinel);
    clsGradient gradient;
    gradient.setColor1(ole(0, 250, 0));
    gradient.setColor2(ole(180, 0, 0));
    gradient.setAngle(angle);
    const bool ok = gradient.Draw(image);
    if (result)
        *result = ok;
    return image;
}

} // namespace

class TestGradient : public QObject
{
    Q_OBJECT

private slots:
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
        const QImage image = drawn(angle, size, &ok);
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
    }
};

QTEST_MAIN(TestGradient)
#include "TestGradient.moc"
