// Pointer and keyboard editing on a real menu form: QTest events in pixels,
// which the buttons report in twips.
#include "EditWorld.h"

#include <QtTest>

using modGlobals::SS;

class TestEditGestures : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        w = std::make_unique<EditWorld>();
        w->add({10, 100, 50, 40});
        w->add({200, 100, 50, 40}).ExtraStrings.at(0) = QStringLiteral("1");
        w->add({400, 300, 50, 40});
        QVERIFY(w->show());
        w->enter();
    }
    void cleanup() { w.reset(); }

    void zones_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<int>("zone");
        QTest::newRow("corner") << QSize(50, 40) << QPoint(47, 37) << int(EditGestures::Corner);
        QTest::newRow("bottom strip") << QSize(50, 40) << QPoint(20, 37) << int(EditGestures::BottomEdge);
        QTest::newRow("top of the right strip") << QSize(50, 40) << QPoint(47, 2) << int(EditGestures::Body);
        QTest::newRow("body") << QSize(50, 40) << QPoint(20, 20) << int(EditGestures::Body);
        QTest::newRow("tiny button") << QSize(5, 5) << QPoint(1, 1) << int(EditGestures::Corner);
        QTest::newRow("flat button, right end") << QSize(20, 4) << QPoint(18, 1) << int(EditGestures::Corner);
        QTest::newRow("flat button, left end") << QSize(20, 4) << QPoint(3, 1) << int(EditGestures::Body);
    }
    void zones()
    {
        QFETCH(QSize, size);
        QFETCH(QPoint, at);
        QFETCH(int, zone);
        w->editor()->SizeButton(0, size.width(), size.height());
        const Command *c = w->button(0);
        QCOMPARE(w->gestures()->GetSizeType(0, float(at.x() * c->twipsPerPixelX()), float(at.y() * c->twipsPerPixelY())),
                 zone);
    }

    void dragAndDrop_data()
    {
        QTest::addColumn<QPoint>("step");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<QRect>("first");
        QTest::addColumn<QRect>("second");
        // The group meets the left edge: it only follows the pointer down.
        QTest::newRow("snapped") << QPoint(-30, 20) << Qt::KeyboardModifiers() << QRect(0, 120, 60, 30)
                                 << QRect(390, 330, 60, 30);
        QTest::newRow("shift keeps it off the grid") << QPoint(-30, 20) << Qt::KeyboardModifiers(Qt::ShiftModifier)
                                                     << QRect(10, 120, 50, 40) << QRect(400, 320, 50, 40);
        QTest::newRow("within 2 twips nothing moves") << QPoint(0, 0) << Qt::KeyboardModifiers()
                                                      << QRect(10, 100, 50, 40) << QRect(400, 300, 50, 40);
    }
    void dragAndDrop()
    {
        QFETCH(QPoint, step);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(QRect, first);
        QFETCH(QRect, second);
        QTest::mouseClick(w->button(0), Qt::LeftButton, {}, {20, 20});
        QTest::mouseClick(w->button(2), Qt::LeftButton, Qt::ControlModifier, {20, 20});
        QCOMPARE(w->editor()->SelectedButtons(), QList<int>({0, 2}));
        QTest::mousePress(w->button(0), Qt::LeftButton, {}, {20, 20});
        QTest::mouseMove(w->button(0), QPoint(20, 20) + step);
        QTest::mouseRelease(w->button(0), Qt::LeftButton, modifiers, w->button(0)->mapFromParent(QPoint(30, 140)));
        QCOMPARE(w->rect(0), first);
        QCOMPARE(w->rect(2), second);
    }

    void mouseResize()
    {
        Command *c = w->button(0);
        QTest::mousePress(c, Qt::LeftButton, {}, {47, 20});
        QCOMPARE(c->MousePointer(), 9);
        QTest::mouseMove(c, {77, 30});
        QCOMPARE(w->rect(0), QRect(10, 100, 80, 40));
        QTest::mouseMove(c, {-5, 30}); // under 3 pixels: refused
        QTest::mouseRelease(c, Qt::LeftButton, {}, {-5, 30});
        QCOMPARE(w->rect(0), QRect(10, 100, 80, 40));
    }

    void rubberBand_data()
    {
        QTest::addColumn<QPoint>("from");
        QTest::addColumn<QPoint>("to");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<QList<int>>("selected");
        QTest::newRow("down and right") << QPoint(5, 90) << QPoint(260, 150) << Qt::KeyboardModifiers() << QList<int>{0};
        QTest::newRow("up and left") << QPoint(260, 150) << QPoint(5, 90) << Qt::KeyboardModifiers() << QList<int>{0};
        QTest::newRow("shift takes the locked one")
            << QPoint(260, 150) << QPoint(5, 90) << Qt::KeyboardModifiers(Qt::ShiftModifier) << QList<int>{0, 1};
        QTest::newRow("from the locked button") << QPoint(210, 110) << QPoint(5, 90) << Qt::KeyboardModifiers()
                                                << QList<int>{0};
    }
    void rubberBand()
    {
        QFETCH(QPoint, from);
        QFETCH(QPoint, to);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(QList<int>, selected);
        w->editor()->SetSelected(2, true);
        // A press on the locked button is a press on the background.
        QWidget *on = w->button(1)->geometry().contains(from) ? static_cast<QWidget *>(w->button(1)) : &w->menu;
        const QPoint origin = on == &w->menu ? QPoint() : on->pos();
        QTest::mousePress(on, Qt::LeftButton, {}, from - origin);
        QTest::mouseMove(on, to - origin);
        QWidget *band = w->menu.findChild<QWidget *>(QStringLiteral("RubberBand"));
        QVERIFY(band->isVisible());
        QCOMPARE(band->geometry(), QRect(from, to).normalized());
        QTest::mouseRelease(on, Qt::LeftButton, modifiers, to - origin);
        QVERIFY(!band->isVisible());
        QCOMPARE(w->editor()->SelectedButtons(), selected);
        QCOMPARE(w->rect(1), QRect(200, 100, 50, 40));
    }

    void sizeToDragSelection()
    {
        w->onButton(2, "mnuSizeToDrag");
        QVERIFY(w->item("mnuSizeToDrag")->isChecked());
        QTest::mousePress(&w->menu, Qt::LeftButton, {}, {305, 203});
        QTest::mouseMove(&w->menu, {300, 200});
        QTest::mouseRelease(&w->menu, Qt::LeftButton, {}, {300, 200});
        QCOMPARE(w->rect(2), QRect(300, 200, 10, 10));
        QVERIFY(!w->item("mnuSizeToDrag")->isChecked());
    }

    void keys_data()
    {
        QTest::addColumn<int>("snap");
        QTest::addColumn<int>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<int>("presses");
        QTest::addColumn<QRect>("start");
        QTest::addColumn<QRect>("end");
        const auto shift = Qt::KeyboardModifiers(Qt::ShiftModifier);
        const auto ctrl = Qt::KeyboardModifiers(Qt::ControlModifier);
        QTest::newRow("shift+down onto the grid, then a step") << 1 << int(Qt::Key_Down) << shift << 1
                                                               << QRect(10, 100, 50, 95) << QRect(10, 100, 50, 150);
        QTest::newRow("shift+left onto the grid, a step, then stops") << 1 << int(Qt::Key_Left) << shift << 3
                                                      << QRect(10, 100, 95, 40) << QRect(10, 100, 30, 40);
        QTest::newRow("shift+down while one more pixel fits") << 1 << int(Qt::Key_Down) << shift << 1
                                                              << QRect(10, 0, 50, 390) << QRect(10, 0, 50, 420);
        QTest::newRow("ctrl+left onto the grid, a step, then stops") << 1 << int(Qt::Key_Left) << ctrl << 3
                                                        << QRect(75, 100, 50, 40) << QRect(30, 100, 50, 40);
        QTest::newRow("ctrl+right near the edge") << 1 << int(Qt::Key_Right) << ctrl << 1 << QRect(525, 100, 50, 40)
                                                  << QRect(525, 100, 50, 40);
        QTest::newRow("ctrl+down without snapping") << 0 << int(Qt::Key_Down) << ctrl << 2 << QRect(75, 100, 50, 40)
                                                    << QRect(75, 102, 50, 40);
    }
    void keys()
    {
        QFETCH(int, snap);
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(int, presses);
        QFETCH(QRect, start);
        QFETCH(QRect, end);
        SS.SnapToGrid = snap;
        w->editor()->MoveButton(0, start.x(), start.y());
        w->editor()->SizeButton(0, start.width(), start.height());
        w->editor()->SetSelected(0, true);
        for (int i = 0; i < presses; ++i)
            QTest::keyClick(w->button(0), Qt::Key(key), modifiers);
        QCOMPARE(w->rect(0), end);
    }

    void lockedButtonKeepsStill()
    {
        w->editor()->SetSelected(1, true);
        QTest::keyClick(w->button(1), Qt::Key_Right, Qt::ControlModifier);
        QTest::mousePress(w->button(1), Qt::LeftButton, {}, {47, 20});
        QTest::mouseMove(w->button(1), {90, 20});
        QTest::mouseRelease(w->button(1), Qt::LeftButton, {}, {90, 20});
        QCOMPARE(w->rect(1), QRect(200, 100, 50, 40));
    }

    // Arrow keys pick the neighbour of the selected button; Ctrl+A on the
    // form selects all but the locked one, Ctrl+Shift+A all.
    void selectionKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<int>("from"); // the selected button, -1: none, the key goes to the form
        QTest::addColumn<QList<int>>("selected");
        const auto none = Qt::KeyboardModifiers();
        QTest::newRow("right") << int(Qt::Key_Right) << none << 0 << QList<int>{1};
        QTest::newRow("down") << int(Qt::Key_Down) << none << 0 << QList<int>{2};
        QTest::newRow("left of the leftmost") << int(Qt::Key_Left) << none << 0 << QList<int>{0};
        QTest::newRow("up") << int(Qt::Key_Up) << none << 2 << QList<int>{1};
        QTest::newRow("ctrl+a") << int(Qt::Key_A) << Qt::KeyboardModifiers(Qt::ControlModifier) << -1 << QList<int>{0, 2};
        QTest::newRow("ctrl+shift+a") << int(Qt::Key_A) << (Qt::ControlModifier | Qt::ShiftModifier) << -1
                                      << QList<int>{0, 1, 2};
    }
    void selectionKeys()
    {
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(int, from);
        QFETCH(QList<int>, selected);
        if (from >= 0)
            w->editor()->SetSelected(from, true);
        QTest::keyClick(from >= 0 ? static_cast<QWidget *>(w->button(from)) : &w->menu, Qt::Key(key), modifiers);
        QCOMPARE(w->editor()->SelectedButtons(), selected);
    }

private:
    std::unique_ptr<EditWorld> w;
};

QTEST_MAIN(TestEditGestures)
#include "TestEditGestures.moc"
