// The editor's layout arithmetic on plain rectangles: grid snapping,
// alignment and same size against a reference, spacing, keeping a drop inside.
#include "menu/MenuLayout.h"

#include <QtTest>

using Moves = QList<QPair<int, int>>;

namespace {

// The reference button and another one, as the alignment rows use them.
const QRect Reference(100, 100, 50, 40);
const QRect Other(0, 0, 21, 31);

} // namespace

class TestMenuLayout : public QObject
{
    Q_OBJECT

private slots:
    void snapped_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("grid");
        QTest::addColumn<int>("snapped");
        QTest::newRow("below half goes down") << 45 << 40 << 40;
        QTest::newRow("exactly half goes down") << 60 << 40 << 40;
        QTest::newRow("above half goes up") << 61 << 40 << 80;
        QTest::newRow("odd grid: 2 of 3 goes up") << 5 << 3 << 6;
    }
    void snapped()
    {
        QFETCH(int, value);
        QFETCH(int, grid);
        QFETCH(int, snapped);
        QCOMPARE(MenuLayout::Snapped(value, grid), snapped);
        QCOMPARE(MenuLayout::Snapped(QRect(value, 1, value, 1), grid), QRect(snapped, 0, snapped, 0));
    }

    void aligned_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QPointF>("to"); // (-1, -1): no move
        QTest::newRow("left") << 0 << QPointF(100, 0);
        QTest::newRow("center") << 1 << QPointF(114.5, 0);
        QTest::newRow("right") << 2 << QPointF(129, 0);
        QTest::newRow("top") << 3 << QPointF(0, 100);
        QTest::newRow("middle") << 4 << QPointF(0, 104.5);
        QTest::newRow("bottom") << 5 << QPointF(0, 109);
        QTest::newRow("no such mode") << 6 << QPointF(-1, -1);
    }
    void aligned()
    {
        QFETCH(int, mode);
        QFETCH(QPointF, to);
        QCOMPARE(MenuLayout::Aligned(Reference, Other, mode).value_or(QPointF(-1, -1)), to);
    }

    void sameSize_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QSize>("size");
        QTest::newRow("width") << 0 << QSize(50, 31);
        QTest::newRow("height") << 1 << QSize(21, 40);
        QTest::newRow("both") << 2 << QSize(50, 40);
    }
    void sameSize()
    {
        QFETCH(int, mode);
        QFETCH(QSize, size);
        QCOMPARE(MenuLayout::SameSize(Reference, Other, mode), size);
    }

    void spaced_data()
    {
        QTest::addColumn<QList<QRect>>("selected"); // in index order
        QTest::addColumn<int>("mode");
        QTest::addColumn<Moves>("moves");
        const QList<QRect> three{{0, 0, 21, 31}, {100, 100, 50, 40}, {500, 200, 50, 40}};
        // 429 pixels free in two gaps: 214.5 rounds to even.
        QTest::newRow("horizontal equal") << three << 0 << Moves{{1, 235}};
        QTest::newRow("horizontal remove") << three << 1 << Moves{{1, 21}, {2, 71}};
        // The last is the one reaching furthest down, not the one starting lowest.
        QTest::newRow("vertical equal") << QList<QRect>{{0, 0, 21, 31}, {0, 100, 50, 40}, {0, 110, 50, 10}} << 2
                                        << Moves{{2, 61}};
        QTest::newRow("vertical remove") << three << 3 << Moves{{1, 31}, {2, 71}};
        QTest::newRow("equal needs three") << three.mid(0, 2) << 0 << Moves();
        QTest::newRow("remove needs two") << three.mid(0, 1) << 1 << Moves();
        QTest::newRow("equal, all in one column") << QList<QRect>{{0, 0, 9, 9}, {0, 50, 9, 9}, {0, 90, 9, 9}} << 0
                                                  << Moves();
        QTest::newRow("in order of position") << QList<QRect>{{300, 0, 10, 9}, {0, 0, 10, 9}, {100, 0, 10, 9}} << 1
                                              << Moves{{2, 10}, {0, 20}};
        QTest::newRow("the first found wins a tie") << QList<QRect>{{0, 0, 10, 9}, {0, 50, 30, 9}, {100, 0, 10, 9}}
                                                    << 1 << Moves{{1, 10}, {2, 40}};
    }
    void spaced()
    {
        QFETCH(QList<QRect>, selected);
        QFETCH(int, mode);
        QFETCH(Moves, moves);
        MenuLayout::Placed placed;
        for (int i = 0; i < selected.size(); ++i)
            placed.append({i, selected.at(i)});
        QCOMPARE(MenuLayout::Spaced(placed, mode), moves);
    }

    void keptInside_data()
    {
        QTest::addColumn<QRect>("button");
        QTest::addColumn<QPoint>("topLeft");
        QTest::newRow("inside") << QRect(10, 10, 50, 40) << QPoint(10, 10);
        QTest::newRow("past the right and bottom") << QRect(580, 390, 50, 40) << QPoint(550, 360);
        QTest::newRow("above, and wider than the form") << QRect(100, -7, 700, 40) << QPoint(0, 0);
    }
    void keptInside()
    {
        QFETCH(QRect, button);
        QFETCH(QPoint, topLeft);
        QCOMPARE(MenuLayout::KeptInside(button, QSize(600, 400)), topLeft);
    }
};

QTEST_APPLESS_MAIN(TestMenuLayout)
#include "TestMenuLayout.moc"
