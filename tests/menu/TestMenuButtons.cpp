#include "MenuTestKit.h"

#include "menu/MenuButtons.h"
#include "base/modGlobals.h"
#include "programs/ProcessWatch.h"

#include <Command.h>

#include <QDir>
#include <QImage>
#include <QTimer>
#include <QtTest>

using modGlobals::SS;

namespace {

void writePicture(const QString &path, const QSize &size)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
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

private:
    MenuButtons *buttons() const { return m_world->buttons; }
    std::unique_ptr<MenuWorld> m_world;
};

QTEST_MAIN(TestMenuButtons)
#include "TestMenuButtons.moc"
