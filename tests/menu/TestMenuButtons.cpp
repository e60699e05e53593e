// The Menu controls over the records, and the editor's layout arithmetic on
// plain rectangles: grid snapping, alignment and same size against a
// reference, spacing, keeping a drop inside.
#include "MenuTestKit.h"

#include "menu/MenuButtons.h"
#include "menu/MenuLayout.h"
#include "base/modGlobals.h"
#include "programs/ProcessWatch.h"

#include <Command.h>

#include <QImage>
#include <QTimer>
#include <QtTest>

using modGlobals::SS;
using Moves = QList<QPair<int, int>>;

namespace {

// The reference button and another one, as the alignment rows use them.
const QRect Reference(100, 100, 50, 40);
const QRect Other(0, 0, 21, 31);

void writePicture(const QString &path, const QSize &size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::red);
    QVERIFY(image.save(path, "BMP"));
}

} // namespace

class TestMenuButtons : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_world = std::make_unique<MenuWorld>(); }

    void cleanup() { m_world.reset(); }

    // One control and one watch entry per record, a hidden record keeping its
    // place; a single load keeps what is watched; a rebuild unloads the surplus.
    void controlsFollowTheRecords()
    {
        for (int i = 0; i < 4; ++i)
            m_world->addButton(QStringLiteral("B%1").arg(i), QStringLiteral("x"));
        SS.Buttons.at(1).InUse = 0;
        m_world->build();
        QCOMPARE(buttons()->UBound(), 3);
        for (int i = 0; i <= 3; ++i)
            QCOMPARE(m_world->form.findChild<Command *>(QStringLiteral("Menu_%1").arg(i)), buttons()->Menu(i));
        QVERIFY(buttons()->Menu(1)->isHidden());
        QVERIFY(!buttons()->Menu(2)->isHidden());
        QCOMPARE(buttons()->Menu(2)->Caption(), QStringLiteral("B2"));
        QCOMPARE(m_world->watch->ButtonWatch.size(), 4);

        m_world->watch->ButtonWatch[0].Processes.append(WatchedProcess{4242, QStringLiteral("B0"), {}, false});
        m_world->addButton(QStringLiteral("New"), QStringLiteral("n"));
        buttons()->LoadButtons(4);
        QCOMPARE(buttons()->Menu(4)->Caption(), QStringLiteral("New"));
        QVERIFY(!buttons()->Menu(4)->isHidden());
        QCOMPARE(m_world->watch->ButtonWatch.size(), 5);
        QCOMPARE(m_world->watch->ButtonWatch[0].Processes.size(), 1);

        QPointer<Command> fourth = buttons()->Menu(3);
        SS.ButtonsMax = 1;
        m_world->build();
        QCOMPARE(buttons()->UBound(), 1);
        QVERIFY(!m_world->form.findChild<Command *>(QStringLiteral("Menu_3")));
        QTRY_VERIFY(fourth.isNull());
        QCOMPARE(m_world->watch->ButtonWatch.size(), 2);

        // No records at all: one hidden control stays.
        SS.ButtonsMax = -1;
        m_world->build();
        QCOMPARE(buttons()->UBound(), 0);
        QVERIFY(buttons()->Menu(0)->isHidden());
        QVERIFY(!buttons()->Menu(0)->AutoUpdTsp());
        QCOMPARE(m_world->watch->ButtonWatch.size(), 0);
    }

    // Every field of the record reaches its control.
    void recordToControl()
    {
        writePicture(m_world->env.path(QStringLiteral("p.bmp")), QSize(24, 12));
        BUTTON &b = m_world->addButton(QStringLiteral("X"), QStringLiteral("x"));
        b.Left = 33;
        b.Top = 44;
        b.Width = 150;
        b.Height = 70;
        b.BackColor = 0x00332211;
        b.ForeColor = 0x8000000F;
        b.PictureAlignment = 2;
        b.TextAlignment = 2;
        b.Bevel = VbFalse;
        b.Transparent = VbTrue;
        b.NoGray = 1;
        b.ExtraStrings.at(1) = QStringLiteral("1");
        b.ExtraStrings.at(2) = QStringLiteral("0");
        b.ExtraStrings.at(3) = QStringLiteral("2 ");
        b.ExtraStrings.at(4) = QStringLiteral("1xyz");
        b.PicturePath = QStringLiteral(".\\p.bmp");
        m_world->build();
        const Command *c = buttons()->Menu(0);
        QCOMPARE(c->geometry(), QRect(33, 44, 150, 70));
        QCOMPARE(c->BackColor(), 0x00332211u);
        QCOMPARE(c->ForeColor(), 0x8000000Fu);
        QCOMPARE(c->PictureAlignment(), Command::pAlignments::eCenter);
        QCOMPARE(c->TextAlignment(), Command::tAlignments::eRight);
        QVERIFY(!c->Bevel());
        QCOMPARE(c->ButtonType(), Command::BType::Transparent);
        QVERIFY(!c->VisEnabledState());
        QVERIFY(c->MouseOverEffect());
        QCOMPARE(c->MouseOverStyle(), Command::ButtonEdgeStyles::SOFT);
        QCOMPARE(c->MouseOutStyle(), Command::ButtonEdgeStyles::MONO);
        QCOMPARE(c->MouseClickStyle(), Command::ButtonEdgeStyles::FLAT);
        QCOMPARE(c->Picture().size(), QSize(24, 12));
    }

    // In run mode a disabled button is disabled, and not drawn so; in edit
    // mode it can be picked and is drawn disabled.
    void disabledButtons()
    {
        BUTTON &b = m_world->addButton(QStringLiteral("Off"), QStringLiteral("x"));
        b.Enabled = VbFalse;
        b.ExtraStrings.at(1) = QStringLiteral("1");
        m_world->addButton(QStringLiteral("On"), QStringLiteral("y"));
        m_world->build();
        QVERIFY(!buttons()->Menu(0)->Enabled());
        QVERIFY(!buttons()->Menu(0)->DrawAsDisabled());
        m_world->editMode = true;
        SS.Buttons.at(0).Selected = VbTrue;
        buttons()->Menu(0)->setSelected(true);
        m_world->build();
        const Command *off = buttons()->Menu(0);
        QVERIFY(off->Enabled());
        QVERIFY(off->DrawAsDisabled());
        QVERIFY(!off->MouseOverEffect());
        QVERIFY(!off->Selected());
        QCOMPARE(SS.Buttons.at(0).Selected, qint16(0));
        QVERIFY(!buttons()->Menu(1)->DrawAsDisabled());
    }

    void freezeAndGiveBack_data()
    {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<bool>("frozen");
        QTest::newRow("two seconds") << 2 << true;
        QTest::newRow("zero: no freeze") << 0 << false;
    }

    void freezeAndGiveBack()
    {
        QFETCH(int, seconds);
        QFETCH(bool, frozen);
        m_world->addButton(QStringLiteral("On"), QStringLiteral("a"));
        m_world->addButton(QStringLiteral("Off"), QStringLiteral("b")).Enabled = VbFalse;
        m_world->build();
        SS.ButtonFreezeSeconds = seconds;
        buttons()->DelayAllButtons();
        QCOMPARE(buttons()->buttonDelayTimer->isActive(), frozen);
        QCOMPARE(!buttons()->Menu(0)->Enabled(), frozen);
        if (!frozen)
            return;
        QCOMPARE(buttons()->buttonDelayTimer->interval(), seconds * 1000);
        QVERIFY(!buttons()->Menu(1)->Enabled());
        // The timer gives each button its record's state back, and new pictures.
        writePicture(m_world->env.path(QStringLiteral("late.bmp")), QSize(9, 9));
        SS.Buttons.at(0).PicturePath = QStringLiteral(".\\late.bmp");
        QVERIFY(buttons()->Menu(0)->Picture().isNull());
        buttons()->buttonDelayTimer->start(1); // no need to sit out the seconds
        QTRY_VERIFY(buttons()->Menu(0)->Enabled());
        QVERIFY(!buttons()->buttonDelayTimer->isActive());
        QVERIFY(!buttons()->Menu(1)->Enabled());
        QCOMPARE(buttons()->Menu(0)->Picture().size(), QSize(9, 9));
    }

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

private:
    MenuButtons *buttons() const { return m_world->buttons; }
    std::unique_ptr<MenuWorld> m_world;
};

QTEST_MAIN(TestMenuButtons)
#include "TestMenuButtons.moc"
