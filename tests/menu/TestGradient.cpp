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

QImage drawn(float angle, const QSize &size, quint32 c1, quint32 c2, bool *result = nullptr)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Sentinel);
    clsGradient gradient;
    gradient.setColor1(c1);
    gradient.setColor2(c2);
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

    void reduceAngle_data()
    {
        QTest::addColumn<float>("angle");
        QTest::addColumn<float>("stored");
        QTest::newRow("-90") << -90.0f << 270.0f;
        QTest::newRow("450") << 450.0f << 90.0f;
        QTest::newRow("tiny negative stays below 360") << -1e-7f << 0.0f;
        QTest::newRow("not a number") << std::nanf("") << 0.0f;
    }

    void reduceAngle()
    {
        QFETCH(float, angle);
        QFETCH(float, stored);
        clsGradient gradient;
        gradient.setAngle(angle);
        QCOMPARE(gradient.Angle(), stored);
        QVERIFY(gradient.Angle() >= 0.0f && gradient.Angle() < 360.0f);
    }

    void oneLinePerPixelAlongTheAxis_data()
    {
        QTest::addColumn<float>("angle");
        QTest::addColumn<QSize>("size");

        for (float angle : {0.0f, 90.0f, 180.0f, 270.0f})
            QTest::addRow("%g", double(angle)) << angle << QSize(37, 91);
    }

    // At right angles every pixel column (or row) is one line, so the picture is
    // the colour table itself: Color1 at the start edge, Color2 at the far edge.
    void oneLinePerPixelAlongTheAxis()
    {
        QFETCH(float, angle);
        QFETCH(QSize, size);
        const quint32 c1 = ole(0, 250, 0);
        const quint32 c2 = ole(180, 0, 0);
        bool ok = false;
        const QImage image = drawn(angle, size, c1, c2, &ok);
        QVERIFY(ok);

        const int turn = int(clsGradient::ReduceAngle(angle));
        const bool horizontal = turn == 0 || turn == 180;
        const int lines = horizontal ? size.width() : size.height();
        const Table table = clsGradient::ColorTable(c1, c2, lines);
        for (int y = 0; y < size.height(); ++y) {
            for (int x = 0; x < size.width(); ++x) {
                int line = 0;
                switch (turn) {
                case 0: line = x; break;                       // left to right
                case 180: line = size.width() - 1 - x; break;  // right to left
                case 90: line = size.height() - 1 - y; break;  // bottom up
                default: line = y; break;                      // 270: top down
                }
                if (image.pixel(x, y) != table.at(line))
                    QFAIL(qPrintable(QStringLiteral("pixel %1,%2 is %3, line %4 is %5")
                                         .arg(x).arg(y).arg(image.pixel(x, y), 0, 16).arg(line)
                                         .arg(table.at(line), 0, 16)));
            }
        }
    }

    void coversEveryPixel_data()
    {
        QTest::addColumn<float>("angle");
        QTest::addColumn<QSize>("size");

        for (float angle : {17.0f, 89.0f, 135.0f, 200.0f, 300.0f})
            for (const QSize &size : {QSize(160, 90), QSize(50, 170)})
                QTest::addRow("%g, %dx%d", double(angle), size.width(), size.height()) << angle << size;
    }

    // Lines one pixel apart leave no gap at any angle, and the start edge is
    // nearer to Color1 than the far corner is.
    void coversEveryPixel()
    {
        QFETCH(float, angle);
        QFETCH(QSize, size);
        bool ok = false;
        const QImage image = drawn(angle, size, ole(0, 0, 0), ole(250, 0, 0), &ok);
        QVERIFY(ok);
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                if (image.pixel(x, y) == Sentinel)
                    QFAIL(qPrintable(QStringLiteral("pixel %1,%2 left out").arg(x).arg(y)));

        // Red grows along the direction (cos, -sin) in screen coordinates.
        const double rad = double(angle) * M_PI / 180.0;
        const QPointF direction(std::cos(rad), -std::sin(rad));
        const QPoint corners[] = {{0, 0}, {size.width() - 1, 0}, {0, size.height() - 1},
                                  {size.width() - 1, size.height() - 1}};
        auto along = [&](const QPoint &p) { return p.x() * direction.x() + p.y() * direction.y(); };
        QPoint first = corners[0], last = corners[0];
        for (const QPoint &c : corners) {
            if (along(c) < along(first))
                first = c;
            if (along(c) > along(last))
                last = c;
        }
        QVERIFY2(qRed(image.pixel(first)) < qRed(image.pixel(last)),
                 qPrintable(QStringLiteral("start corner %1 not below far corner %2")
                                .arg(qRed(image.pixel(first))).arg(qRed(image.pixel(last)))));
    }

    void tooSmallAreaDrawsNothing()
    {
        bool ok = true;
        const QImage image = drawn(30.0f, QSize(40, 1), ole(0, 0, 0), ole(250, 0, 0), &ok);
        QVERIFY(!ok);
        for (int x = 0; x < 40; ++x)
            QCOMPARE(image.pixel(x, 0), Sentinel);
        QImage none;
        QVERIFY(!clsGradient().Draw(none));
    }
};

QTEST_MAIN(TestGradient)
#include "TestGradient.moc"
