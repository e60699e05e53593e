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
        QTest::newRow("no lines") << ole(1, 2, 3) << ole(4, 5, 6) << 0 << Table{};
    }

    void colorTable()
    {
        QFETCH(quint32, c1);
        QFETCH(quint32, c2);
        QFETCH(int, count);
        QFETCH(Table, expected);
        QCOMPARE(clsGradient::ColorTable(c1, c2, count), expected);
    }

    void oneLinePerPixelAlongTheAxis_data()
    {
        QTest::addColumn<float>("angle");
        QTest::addColumn<int>("turn"); // the angle brought into 0..359
        QTest::newRow("0") << 0.0f << 0;
        QTest::newRow("450 is 90") << 450.0f << 90;
        QTest::newRow("180") << 180.0f << 180;
        QTest::newRow("-90 is 270") << -90.0f << 270;
    }

    // At right angles every pixel column (or row) is one line, so the picture is
    // the colour table itself: Color1 at the start edge, Color2 at the far edge.
    void oneLinePerPixelAlongTheAxis()
    {
        QFETCH(float, angle);
        QFETCH(int, turn);
        const QSize size(37, 91);
        bool ok = false;
        const QImage image = drawn(angle, size, &ok);
        QVERIFY(ok);
        const bool horizontal = turn == 0 || turn == 180;
        const Table table = clsGradient::ColorTable(ole(0, 250, 0), ole(180, 0, 0), horizontal ? size.width() : size.height());
        for (int y = 0; y < size.height(); ++y) {
            for (int x = 0; x < size.width(); ++x) {
                const int line = turn == 0 ? x : turn == 180 ? size.width() - 1 - x : turn == 90 ? size.height() - 1 - y : y;
                if (image.pixel(x, y) != table.at(line))
                    QFAIL(qPrintable(QStringLiteral("pixel %1,%2 is not line %3").arg(x).arg(y).arg(line)));
            }
        }
    }

    // Lines one pixel apart leave no gap at any angle; an area too small draws nothing.
    void coversEveryPixel_data()
    {
        QTest::addColumn<float>("angle");
        QTest::addColumn<QSize>("size");
        for (float angle : {17.0f, 89.0f, 135.0f, 200.0f, 300.0f})
            for (const QSize &size : {QSize(160, 90), QSize(50, 170)})
                QTest::addRow("%g, %dx%d", double(angle), size.width(), size.height()) << angle << size;
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
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                if ((image.pixel(x, y) == Sentinel) == ok)
                    QFAIL(qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
    }
};

QTEST_MAIN(TestGradient)
#include "TestGradient.moc"
