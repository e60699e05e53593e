// Tests of the Command button: looks checked on rendered pixels, the mouse state
// machine through synthesized events, and what persistence stores.

#include "Command.h"
#include "OleColor.h"
#include "PropertyBag.h"

#include <QMouseEvent>
#include <QtTest>

namespace {

QImage render(QWidget *widget)
{
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QRgb at(const QImage &image, int x, int y)
{
    return image.pixel(x, y) & 0xFFFFFFu;
}

// The bounding rectangle of the pixels of one colour (null when none).
QRect bounds(const QImage &image, const QColor &color)
{
    QRect r;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (at(image, x, y) == (color.rgb() & 0xFFFFFFu))
                r |= QRect(x, y, 1, 1);
    return r;
}

// The number of pixels of one colour within area (the whole image when null).
int count(const QImage &image, const QColor &color, const QRect &area = QRect())
{
    const QRect r = area.isNull() ? image.rect() : area.intersected(image.rect());
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += at(image, x, y) == (color.rgb() & 0xFFFFFFu);
    return n;
}

// A font without antialiasing, so text pixels carry exactly the colour they were drawn in.
QFont crispFont(int pointSize = 12)
{
    QFont f(QStringLiteral("DejaVu Sans"), pointSize);
    f.setStyleStrategy(QFont::NoAntialias);
    return f;
}

Command *button(QWidget &host, int w, int h)
{
    auto *b = new Command(&host);
    b->resize(w, h);
    return b;
}

void sendMouse(QWidget *w, QEvent::Type type, const QPointF &pos, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, pos, w->mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &event);
}

// Records the events a host would see; can cancel the pressed look like a host does.
struct EventLog {
    QStringList entries;
    bool cancelDown = false;

    void attach(Command *b)
    {
        QObject::connect(b, &Command::MouseDown, b,
                         [this](int &button, int &, float &, float &, bool &cancel) {
                             entries << QStringLiteral("Down%1").arg(button);
                             if (cancelDown)
                                 cancel = true;
                         }, Qt::DirectConnection);
        QObject::connect(b, &Command::MouseUp, b, [this](int &button, int &, float &, float &) {
            entries << QStringLiteral("Up%1").arg(button);
        }, Qt::DirectConnection);
        QObject::connect(b, &Command::Click, b, [this] { entries << QStringLiteral("Click"); }, Qt::DirectConnection);
        QObject::connect(b, &Command::DblClick, b, [this] { entries << QStringLiteral("DblClick"); },
                         Qt::DirectConnection);
    }

    int clicks() const { return int(entries.count(QStringLiteral("Click"))); }
};

} // namespace

class TestCommand : public QObject
{
    Q_OBJECT

private slots:
    // Pressed, a bevelled button moves its content a pixel; both draw an edge.
    void bevelEdgeAndPressOffset_data()
    {
        QTest::addColumn<bool>("bevel");
        QTest::newRow("bevel: content moves") << true;
        QTest::newRow("no bevel: no movement") << false;
    }

    void bevelEdgeAndPressOffset()
    {
        QFETCH(bool, bevel);
        const int offset = bevel ? 1 : 0;

        QWidget host;
        Command *b = button(host, 100, 40);
        b->setBevel(bevel);
        b->setBackColor(0x0000FF00);
        QPixmap picture(12, 12);
        picture.fill(QColor(0, 0, 255));
        b->setPicture(picture);
        const QRect atRest = bounds(render(b), QColor(0, 0, 255));
        QCOMPARE(atRest.size(), QSize(12, 12));
        sendMouse(b, QEvent::MouseButtonPress, QPointF(50, 20), Qt::LeftButton, Qt::LeftButton);
        const QImage image = render(b);
        QCOMPARE(bounds(image, QColor(0, 0, 255)), atRest.translated(offset, offset));
        const int plain = count(image, QColor(0, 255, 0)) + 12 * 12;
        QVERIFY(plain < b->width() * b->height() - 2 * (b->width() + b->height()) + 4);
    }

    // While locked a button on screen keeps its look; unlocked it shows what changed.
    void lockedUpdates()
    {
        QWidget host;
        Command *b = button(host, 60, 30);
        b->setCaption(QString());
        b->setBackColor(0x000000FF);
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        b->LockUpdate(true);
        b->setBackColor(0x0000FF00);
        QCOMPARE(at(render(b), 30, 15), 0xFF0000u);
        b->LockUpdate(false);
        QCOMPARE(at(render(b), 30, 15), 0x00FF00u);
    }

    // Text on its side and centred vertically; grey and embossed when disabled.
    void textLook_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("drawAsDisabled");
        QTest::addColumn<bool>("visEnabledState");
        QTest::addColumn<bool>("embossed");
        QTest::addColumn<int>("alignment");
        const int left = int(Command::tAlignments::eLeft);
        const int center = int(Command::tAlignments::eCenter);
        const int right = int(Command::tAlignments::eRight);
        QTest::newRow("enabled, left") << true << false << true << false << left;
        QTest::newRow("enabled, right") << true << false << true << false << right;
        QTest::newRow("disabled") << false << false << true << true << center;
        QTest::newRow("draw as disabled, VisEnabledState off") << true << true << false << false << center;
    }

    void textLook()
    {
        QFETCH(bool, enabled);
        QFETCH(bool, drawAsDisabled);
        QFETCH(bool, visEnabledState);
        QFETCH(bool, embossed);
        QFETCH(int, alignment);

        QWidget host;
        Command *b = button(host, 200, 40);
        b->setFont(crispFont());
        b->setForeColor(0x000000FF);
        b->setCaption(QStringLiteral("MMM"));
        b->setTextAlignment(Command::tAlignments(alignment));
        b->setEnabled(enabled);
        b->setDrawAsDisabled(drawAsDisabled);
        b->setVisEnabledState(visEnabledState);

        const QImage image = render(b);
        const QRect area = b->textRect();
        const QRect text = area.adjusted(0, 0, 1, 1); // the white copy sits one pixel lower right
        const QColor grey = OleColor::toQColor(OleColor::GrayText, b->palette());
        const int red = count(image, QColor(255, 0, 0), text);
        const int greys = count(image, grey, text);
        const int whites = count(image, Qt::white, text);
        if (!embossed) {
            QVERIFY(red > 0);
            QCOMPARE(greys, 0);
            QCOMPARE(whites, 0);
            const QRect ink = bounds(image, QColor(255, 0, 0));
            QVERIFY(area.contains(ink));
            const auto a = Command::tAlignments(alignment);
            const int off = a == Command::tAlignments::eLeft    ? ink.left() - area.left()
                            : a == Command::tAlignments::eRight ? area.right() - ink.right()
                                                                : qAbs(ink.center().x() - area.center().x());
            QVERIFY2(off <= 3, "text is not at its side");
            QVERIFY2(qAbs(ink.center().y() - area.center().y()) <= 3, "text is not centred vertically");
        } else {
            // Grey glyphs over a white copy one pixel lower right.
            QCOMPARE(red, 0);
            QVERIFY(greys > 0 && whites > 0);
        }

        // The disabled look alone does not stop events.
        EventLog log;
        log.attach(b);
        QTest::mouseClick(b, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
        QCOMPARE(log.clicks(), enabled ? 1 : 0);
    }

    void mouseSequences_data()
    {
        // Script steps: p/r left press/release, m move with the left button held,
        // P/R right press/release, d left double click; each with x and y.
        QTest::addColumn<QString>("script");
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<QString>("expected");

        QTest::newRow("leave and come back") << "p 10 10; m 70 10; m 10 10; r 10 10" << false << "Down1 Click Up1";
        QTest::newRow("the border pixel is outside") << "p 10 10; m 0 10; r 0 10" << false << "Down1";
        QTest::newRow("right click") << "P 10 10; R 10 10" << false << "Down2 Up2";
        QTest::newRow("cancelled press released outside") << "p 10 10; m -5 10; r -5 10" << true
                                                          << "Down1 Click Up1";
        QTest::newRow("double click without a press") << "p 10 10; r 10 10; d 10 10; r 10 10" << false
                                                      << "Down1 Click Up1 Down1 DblClick Click Up1";
    }

    void mouseSequences()
    {
        QFETCH(QString, script);
        QFETCH(bool, cancel);
        QFETCH(QString, expected);

        QWidget host;
        Command *b = button(host, 60, 30);
        EventLog log;
        log.cancelDown = cancel;
        log.attach(b);

        Qt::MouseButtons held;
        for (const QString &step : script.split(QLatin1Char(';'))) {
            const QStringList parts = step.trimmed().split(QLatin1Char(' '));
            const QChar op = parts.at(0).at(0);
            const QPointF pos(parts.at(1).toInt(), parts.at(2).toInt());
            if (op == QLatin1Char('p') || op == QLatin1Char('P')) {
                const auto button = op == QLatin1Char('p') ? Qt::LeftButton : Qt::RightButton;
                held |= button;
                sendMouse(b, QEvent::MouseButtonPress, pos, button, held);
                QCOMPARE(b->VisualState(), (button == Qt::LeftButton && !cancel) ? 1 : 0);
            } else if (op == QLatin1Char('r') || op == QLatin1Char('R')) {
                const auto button = op == QLatin1Char('r') ? Qt::LeftButton : Qt::RightButton;
                held &= ~button;
                sendMouse(b, QEvent::MouseButtonRelease, pos, button, held);
            } else if (op == QLatin1Char('m')) {
                sendMouse(b, QEvent::MouseMove, pos, Qt::NoButton, held);
            } else if (op == QLatin1Char('d')) {
                held |= Qt::LeftButton;
                sendMouse(b, QEvent::MouseButtonDblClick, pos, Qt::LeftButton, held);
            }
        }
        QCOMPARE(log.entries.join(QLatin1Char(' ')), expected);
        QCOMPARE(b->VisualState(), 0);
    }

    // Defaults are not stored; missing keys read as their defaults.
    void persistenceKeepsOnlyChanges()
    {
        QWidget host;
        host.setFont(crispFont(11));
        auto *b = new Command(&host);
        MemoryPropertyBag written;
        b->WriteProperties(written);
        QVERIFY(written.isEmpty());
        b->setGab(7);
        b->setTextAlignment(Command::tAlignments::eLeft);
        b->setFont(QFont(QStringLiteral("DejaVu Serif"), 20));
        b->WriteProperties(written);
        QCOMPARE(written.keys(), (QStringList{"TextAlignment", "Font", "Gab"}));

        MemoryPropertyBag empty;
        b->ReadProperties(empty);
        QCOMPARE(b->Gab(), 5);
        QCOMPARE(b->TextAlignment(), Command::tAlignments::eCenter);
        QCOMPARE(b->font(), host.font()); // the container's font
    }

    void oleColors()
    {
        QPalette pal;
        pal.setColor(QPalette::Button, QColor(0x10, 0x20, 0x30));
        QCOMPARE(OleColor::toQColor(0x00123456, pal), QColor(0x56, 0x34, 0x12));
        QCOMPARE(OleColor::fromQColor(QColor(0x56, 0x34, 0x12)), 0x00123456u);
        QCOMPARE(OleColor::toQColor(OleColor::ButtonFace, pal), QColor(0x10, 0x20, 0x30));
        QCOMPARE(OleColor::toQColor(0x800000FF, pal), QColor(Qt::black)); // no such system colour
    }
};

QTEST_MAIN(TestCommand)
#include "TestCommand.moc"
