#include "GalleryWindow.h"

#include "Command.h"
#include "OleColor.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace {

using Style = Command::ButtonEdgeStyles;

// A sun with a face: the sample picture, on a transparent background.
QPixmap sunPicture(int size)
{
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    p.setPen(QPen(QColor(230, 140, 0), 2.2, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 8; ++i) {
        p.save();
        p.translate(16, 16);
        p.rotate(i * 45);
        p.drawLine(QPointF(0, -11.5), QPointF(0, -14.5));
        p.restore();
    }
    QRadialGradient g(QPointF(13, 13), 11);
    g.setColorAt(0, QColor(255, 236, 110));
    g.setColorAt(1, QColor(250, 190, 20));
    p.setBrush(g);
    p.setPen(QPen(QColor(215, 130, 0), 1.2));
    p.drawEllipse(QPointF(16, 16), 9, 9);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(90, 60, 20));
    p.drawEllipse(QPointF(13, 14), 1.2, 1.4);
    p.drawEllipse(QPointF(19, 14), 1.2, 1.4);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(90, 60, 20), 1.2, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(12, 14, 8, 6), 200 * 16, 140 * 16);
    return QPixmap::fromImage(img);
}

// A house drawn on an opaque square of the button face colour: on a button of that
// back colour the square becomes transparent (the back colour is the key colour).
QPixmap keyedHousePicture(int size, const QColor &key)
{
    QImage img(size, size, QImage::Format_RGB32);
    img.fill(key);
    QPainter p(&img);
    p.scale(size / 32.0, size / 32.0);
    p.setPen(QPen(QColor(90, 40, 20), 1));
    p.setBrush(QColor(200, 60, 40));
    p.drawPolygon(QPolygonF({QPointF(3, 15), QPointF(16, 4), QPointF(29, 15)}));
    p.setBrush(QColor(245, 225, 170));
    p.drawRect(QRectF(7, 15, 18, 13));
    p.setBrush(QColor(120, 70, 30));
    p.drawRect(QRectF(14, 20, 5, 8));
    p.setBrush(QColor(140, 200, 240));
    p.drawRect(QRectF(9, 18, 4, 4));
    return QPixmap::fromImage(img);
}

// Stripes over a gradient behind the transparent buttons.
class PatternPanel : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        QLinearGradient g(0, 0, width(), height());
        g.setColorAt(0, QColor(70, 150, 220));
        g.setColorAt(1, QColor(150, 90, 200));
        p.fillRect(rect(), g);
        p.setPen(QPen(QColor(255, 255, 255, 50), 7));
        for (int x = -height(); x < width(); x += 20)
            p.drawLine(x, height(), x + height(), 0);
    }
};

QLabel *rowLabel(const QString &text)
{
    auto *label = new QLabel(text);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

QLabel *columnLabel(const QString &text)
{
    auto *label = new QLabel(text);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

QMouseEvent mouseEvent(QEvent::Type type, const QPointF &pos, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    return QMouseEvent(type, pos, pos, button, buttons, Qt::NoModifier);
}

} // namespace

GalleryWindow::GalleryWindow(QWidget *parent)
    : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Pellet Command gallery"));
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(12, 12, 12, 12);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(10);
    grid->addWidget(alignmentSection(), 0, 0);
    grid->addWidget(edgeSection(), 0, 1);
    grid->addWidget(builtInSection(), 1, 0);
    grid->addWidget(disabledSection(), 1, 1);
    grid->addWidget(transparentSection(), 2, 0);
    grid->addWidget(bevelSection(), 2, 1);
}

Command *GalleryWindow::makeButton(QWidget *parent, const QString &caption, int w, int h)
{
    auto *button = new Command(parent);
    button->setCaption(caption);
    button->setFixedSize(w, h);
    return button;
}

QWidget *GalleryWindow::alignmentSection()
{
    auto *box = new QGroupBox(QStringLiteral("Picture and text alignment"));
    auto *grid = new QGridLayout(box);
    const QPixmap sun = sunPicture(24);
    const struct { Command::pAlignments value; QString name; } pictures[] = {
        {Command::pAlignments::eLeft, QStringLiteral("Picture left")},
        {Command::pAlignments::eRight, QStringLiteral("Picture right")},
        {Command::pAlignments::eCenter, QStringLiteral("Picture centre")},
    };
    const struct { Command::tAlignments value; QString name; } texts[] = {
        {Command::tAlignments::eLeft, QStringLiteral("Left")},
        {Command::tAlignments::eCenter, QStringLiteral("Centre")},
        {Command::tAlignments::eRight, QStringLiteral("Right")},
    };
    for (int c = 0; c < 3; ++c)
        grid->addWidget(columnLabel(QStringLiteral("Text ") + texts[c].name.toLower()), 0, c + 1);
    for (int r = 0; r < 3; ++r) {
        grid->addWidget(rowLabel(pictures[r].name), r + 1, 0);
        for (int c = 0; c < 3; ++c) {
            Command *b = makeButton(box, texts[c].name, 150, 44);
            b->setPicture(sun);
            b->setPictureAlignment(pictures[r].value);
            b->setTextAlignment(texts[c].value);
            grid->addWidget(b, r + 1, c + 1);
        }
    }
    Command *plain = makeButton(box, QStringLiteral("No picture, text centred"), 150, 44);
    grid->addWidget(rowLabel(QStringLiteral("No picture")), 4, 0);
    grid->addWidget(plain, 4, 1);
    Command *amp = makeButton(box, QStringLiteral("Fish & Chips"), 150, 44);
    amp->setBackColor(0x00C8F0FF); // light yellow
    grid->addWidget(amp, 4, 2);
    Command *big = makeButton(box, QStringLiteral("Bold, blue"), 150, 44);
    QFont f = big->font();
    f.setBold(true);
    f.setPointSize(f.pointSize() + 2);
    big->setFont(f);
    big->setForeColor(0x00A04010);
    big->setPicture(sun);
    grid->addWidget(big, 4, 3);
    return box;
}

QWidget *GalleryWindow::edgeSection()
{
    auto *box = new QGroupBox(QStringLiteral("Edge styles (out, over, pressed sunken, pressed bump)"));
    auto *grid = new QGridLayout(box);
    const QString columns[] = {QStringLiteral("Out"), QStringLiteral("Over"), QStringLiteral("Pressed"),
                               QStringLiteral("Pressed, bump")};
    for (int c = 0; c < 4; ++c)
        grid->addWidget(columnLabel(columns[c]), 0, c + 1);
    const struct { Style style; QString name; } styles[] = {
        {Style::SOFT, QStringLiteral("SOFT")},
        {Style::FLAT, QStringLiteral("FLAT")},
        {Style::MONO, QStringLiteral("MONO")},
    };
    for (int r = 0; r < 3; ++r) {
        grid->addWidget(rowLabel(styles[r].name), r + 1, 0);
        for (int c = 0; c < 4; ++c) {
            Command *b = makeButton(box, styles[r].name, 96, 40);
            b->setMouseOutStyle(styles[r].style);
            b->setMouseOverStyle(styles[r].style);
            b->setMouseClickStyle(styles[r].style);
            if (c == 1)
                m_over.append(b);
            if (c >= 2)
                m_pressed.append(b);
            if (c == 3)
                b->setClickEffect(Command::bStyle::eBump);
            grid->addWidget(b, r + 1, c + 1);
        }
    }
    // The defaults together: FLAT at rest, MONO when over, SOFT when pressed.
    grid->addWidget(rowLabel(QStringLiteral("Defaults")), 4, 0);
    for (int c = 0; c < 4; ++c) {
        Command *b = makeButton(box, QStringLiteral("Default"), 96, 40);
        if (c == 1)
            m_over.append(b);
        if (c >= 2)
            m_pressed.append(b);
        if (c == 3)
            b->setClickEffect(Command::bStyle::eBump);
        grid->addWidget(b, 4, c + 1);
    }
    return box;
}

QWidget *GalleryWindow::builtInSection()
{
    auto *box = new QGroupBox(QStringLiteral("Built-in OK and Cancel images (large from 36 px high)"));
    auto *row = new QHBoxLayout(box);
    Command *okLarge = makeButton(box, QStringLiteral("OK"), 110, 44);
    okLarge->setButtonType(Command::BType::OkButton);
    Command *cancelLarge = makeButton(box, QStringLiteral("Cancel"), 110, 44);
    cancelLarge->setButtonType(Command::BType::CancelButton);
    Command *okSmall = makeButton(box, QStringLiteral("OK"), 96, 28);
    okSmall->setButtonType(Command::BType::OkButton);
    Command *cancelSmall = makeButton(box, QStringLiteral("Cancel"), 96, 28);
    cancelSmall->setButtonType(Command::BType::CancelButton);
    Command *okTall = makeButton(box, QStringLiteral("OK"), 70, 60);
    okTall->setButtonType(Command::BType::OkButton);
    okTall->setPictureAlignment(Command::pAlignments::eRight);
    okTall->setTextAlignment(Command::tAlignments::eLeft);
    for (Command *b : {okLarge, cancelLarge, okSmall, cancelSmall, okTall})
        row->addWidget(b, 0, Qt::AlignVCenter);
    row->addStretch();
    return box;
}

QWidget *GalleryWindow::disabledSection()
{
    auto *box = new QGroupBox(QStringLiteral("Disabled looks"));
    auto *grid = new QGridLayout(box);
    const QPixmap sun = sunPicture(24);
    Command *disabled = makeButton(box, QStringLiteral("Enabled off"), 150, 40);
    disabled->setEnabled(false);
    disabled->setPicture(sun);
    Command *drawn = makeButton(box, QStringLiteral("DrawAsDisabled"), 150, 40);
    drawn->setDrawAsDisabled(true);
    drawn->setPicture(sun);
    Command *noGrey = makeButton(box, QStringLiteral("Off, no grey"), 150, 40);
    noGrey->setEnabled(false);
    noGrey->setVisEnabledState(false);
    noGrey->setPicture(sun);
    Command *colored = makeButton(box, QStringLiteral("Enabled off"), 150, 40);
    colored->setEnabled(false);
    colored->setBackColor(0x00E0C8A0); // soft blue
    grid->addWidget(disabled, 0, 0);
    grid->addWidget(drawn, 0, 1);
    grid->addWidget(noGrey, 1, 0);
    grid->addWidget(colored, 1, 1);
    grid->setColumnStretch(2, 1);
    return box;
}

QWidget *GalleryWindow::transparentSection()
{
    auto *box = new QGroupBox(QStringLiteral("Transparent over a patterned container"));
    auto *layout = new QVBoxLayout(box);
    auto *panel = new PatternPanel(box);
    panel->setFixedSize(500, 120);
    const QColor face = OleColor::toQColor(OleColor::ButtonFace, panel->palette());
    const QPixmap house = keyedHousePicture(32, face);
    const QPixmap sun = sunPicture(32);

    auto place = [&](const QString &caption, int x, int y, int w, int h) {
        Command *b = makeButton(panel, caption, w, h);
        b->setButtonType(Command::BType::Transparent);
        b->setForeColor(0x00FFFFFF);
        b->move(x, y);
        return b;
    };
    Command *rest = place(QStringLiteral("Resting"), 12, 12, 150, 46);
    rest->setPicture(sun);
    Command *keyed = place(QStringLiteral("Key colour"), 174, 12, 150, 46);
    keyed->setPicture(house);
    Command *over = place(QStringLiteral("Over"), 336, 12, 150, 46);
    over->setPicture(sun);
    m_over.append(over);
    Command *pressed = place(QStringLiteral("Pressed"), 12, 66, 150, 46);
    pressed->setPicture(sun);
    m_pressed.append(pressed);
    Command *flat = place(QStringLiteral("Bevel off"), 174, 66, 150, 46);
    flat->setBevel(false);
    flat->setPicture(house);
    Command *solid = makeButton(panel, QStringLiteral("Not transparent"), 150, 46);
    solid->setPicture(house);
    solid->move(336, 66);
    layout->addWidget(panel);
    return box;
}

QWidget *GalleryWindow::bevelSection()
{
    auto *box = new QGroupBox(QStringLiteral("Bevel, selection mark and focus rectangle"));
    auto *grid = new QGridLayout(box);
    Command *bevelOn = makeButton(box, QStringLiteral("Bevel on"), 120, 40);
    Command *bevelOff = makeButton(box, QStringLiteral("Bevel off"), 120, 40);
    bevelOff->setBevel(false);
    Command *offOver = makeButton(box, QStringLiteral("Off, over"), 120, 40);
    offOver->setBevel(false);
    m_over.append(offOver);
    Command *offPressed = makeButton(box, QStringLiteral("Off, pressed"), 120, 40);
    offPressed->setBevel(false);
    m_pressed.append(offPressed);
    Command *selected = makeButton(box, QStringLiteral("Selected"), 120, 40);
    selected->setSelected(true);
    Command *selectedFlat = makeButton(box, QStringLiteral("Selected, flat"), 120, 40);
    selectedFlat->setSelected(true);
    selectedFlat->setBevel(false);
    Command *focus = makeButton(box, QStringLiteral("Focus rect"), 120, 40);
    focus->setFocusRect(true);
    m_focused = focus;
    Command *tiny = makeButton(box, QString(), 4, 40);
    tiny->setSelected(true);
    tiny->setToolTip(QStringLiteral("4 px wide and selected: too narrow for the mark"));
    grid->addWidget(bevelOn, 0, 0);
    grid->addWidget(bevelOff, 0, 1);
    grid->addWidget(offOver, 0, 2);
    grid->addWidget(offPressed, 1, 0);
    grid->addWidget(selected, 1, 1);
    grid->addWidget(selectedFlat, 1, 2);
    grid->addWidget(focus, 2, 0);
    auto *tinyRow = new QHBoxLayout;
    tinyRow->addWidget(tiny);
    tinyRow->addWidget(new QLabel(QStringLiteral("← selected, 4 px")));
    tinyRow->addStretch();
    grid->addLayout(tinyRow, 2, 1, 1, 2);
    grid->setColumnStretch(3, 1);
    return box;
}

void GalleryWindow::showForcedStates()
{
    for (Command *b : std::as_const(m_over)) {
        QMouseEvent move = mouseEvent(QEvent::MouseMove, QPointF(b->width() / 2.0, b->height() / 2.0),
                                      Qt::NoButton, Qt::NoButton);
        QCoreApplication::sendEvent(b, &move);
    }
    for (Command *b : std::as_const(m_pressed)) {
        QMouseEvent press = mouseEvent(QEvent::MouseButtonPress, QPointF(b->width() / 2.0, b->height() / 2.0),
                                       Qt::LeftButton, Qt::LeftButton);
        QCoreApplication::sendEvent(b, &press);
    }
    if (m_focused)
        m_focused->setFocus(Qt::OtherFocusReason);
}
