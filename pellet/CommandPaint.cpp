// Painting of Command: everything is composed off screen and reaches the screen in one
// copy, so the button never flickers.

#include "ButtonImages.h"
#include "Command.h"
#include "EdgePainter.h"

#include <QPaintEvent>
#include <QPainter>

#include <cmath>
#include <cstring>
#include <utility>

namespace {

// Pixel positions come out of halved sizes; halves round to even.
int roundHalfEven(double value)
{
    return int(std::nearbyint(value));
}

// Copies a rectangle between two RGB32 images of which the target is at least as large.
void copyPixels(QImage &target, const QPoint &to, const QImage &source, const QRect &from)
{
    const QRect src = from.intersected(source.rect());
    const QRect dst = QRect(to, src.size()).intersected(target.rect());
    const int rows = dst.height();
    const int bytes = dst.width() * 4;
    if (rows <= 0 || bytes <= 0)
        return;
    for (int r = 0; r < rows; ++r) {
        const uchar *s = source.constScanLine(src.top() + r) + src.left() * 4;
        uchar *d = target.scanLine(dst.top() + r) + dst.left() * 4;
        std::memcpy(d, s, size_t(bytes));
    }
}

EdgePainter::Look lookOf(Command::ButtonEdgeStyles style)
{
    switch (style) {
    case Command::ButtonEdgeStyles::SOFT: return EdgePainter::Look::Soft;
    case Command::ButtonEdgeStyles::FLAT: return EdgePainter::Look::Flat;
    case Command::ButtonEdgeStyles::MONO: return EdgePainter::Look::Mono;
    }
    return EdgePainter::Look::Normal;
}

} // namespace

const QImage *Command::imageSource() const
{
    switch (m_buttonType) {
    case BType::CancelButton:
        return &ButtonImages::image(height() >= 36 ? ButtonImages::CancelLarge : ButtonImages::CancelSmall);
    case BType::OkButton:
        return &ButtonImages::image(height() >= 36 ? ButtonImages::OkLarge : ButtonImages::OkSmall);
    case BType::CustomButton:
    case BType::Transparent:
        break;
    }
    return m_picture.isNull() ? nullptr : &keyedPicture();
}

// The picture with every pixel of the back colour made transparent.
const QImage &Command::keyedPicture() const
{
    const QRgb key = OleColor::toQColor(m_backColor, palette()).rgb();
    if (m_keyedFor != m_picture.cacheKey() || m_keyedColor != key) {
        QImage keyed = m_picture.toImage().convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < keyed.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(keyed.scanLine(y));
            for (int x = 0; x < keyed.width(); ++x) {
                if (line[x] == key) // opaque pixel of exactly the key colour
                    line[x] = 0;
            }
        }
        m_keyedPicBuf = keyed.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        m_keyedFor = m_picture.cacheKey();
        m_keyedColor = key;
    }
    return m_keyedPicBuf;
}

Command::Layout Command::layout() const
{
    Layout lay;
    const int W = width();
    const int H = height();
    const int gab = m_gab;
    lay.image = imageSource();
    if (!lay.image) {
        lay.textLeft = gab;
        lay.textRight = W - gab;
        return lay;
    }
    const int PSW = lay.image->width();
    const int PH = lay.image->height();
    const int y = roundHalfEven(H / 2.0 - PH / 2.0);
    switch (m_pictureAlignment) {
    case pAlignments::eRight:
        lay.picturePos = QPoint(W - (PSW + gab + 2), y);
        lay.textLeft = gab + 2;
        lay.textRight = W - PSW - 2 * gab - 2;
        break;
    case pAlignments::eCenter:
        lay.picturePos = QPoint(roundHalfEven(W / 2.0 - PSW / 2.0), y);
        lay.textLeft = roundHalfEven(W / 2.0 + PSW / 2.0 + gab + 2);
        lay.textRight = W - gab - 2;
        break;
    case pAlignments::eLeft:
    default:
        lay.picturePos = QPoint(gab + 2, y);
        lay.textLeft = PSW + 2 * gab + 2;
        lay.textRight = W - gab - 2;
        break;
    }
    return lay;
}

QRect Command::pictureRect() const
{
    const Layout lay = layout();
    return lay.image ? QRect(lay.picturePos, lay.image->size()) : QRect();
}

QRect Command::textRect() const
{
    return textRectOf(layout());
}

// Text spans from 2 pixels below the top to 2 pixels above the bottom.
QRect Command::textRectOf(const Layout &lay) const
{
    return QRect(QPoint(lay.textLeft, 2), QPoint(lay.textRight - 1, height() - 3));
}

void Command::paintBackground(QImage &target)
{
    // Only what the container paints itself: its other children are not behind us.
    QWidget *container = parentWidget();
    if (!container)
        return;
    container->render(&target, QPoint(0, 0), QRegion(geometry()), QWidget::DrawWindowBackground);
}

void Command::paintText(QImage &target, const Layout &lay)
{
    if (m_caption.isEmpty())
        return;
    const QRect rect = textRectOf(lay);
    if (rect.width() <= 0 || rect.height() <= 0)
        return;
    int align = Qt::AlignVCenter | Qt::TextSingleLine;
    switch (m_textAlignment) {
    case tAlignments::eLeft: align |= Qt::AlignLeft; break;
    case tAlignments::eRight: align |= Qt::AlignRight; break;
    case tAlignments::eCenter:
    default: align |= Qt::AlignHCenter; break;
    }

    QPainter p(&target);
    p.setFont(font());
    // Qt draws '&' literally unless asked for mnemonics, so the caption needs no escaping.
    const bool disabledLook = m_visEnabledState && (!Enabled() || m_drawAsDisabled);
    if (disabledLook) {
        const QRect shifted = rect.translated(1, 1);
        p.setClipRect(shifted);
        p.setPen(QColor(255, 255, 255));
        p.drawText(shifted, align, m_caption);
        p.setClipRect(rect);
        p.setPen(OleColor::toQColor(OleColor::GrayText, palette()));
        p.drawText(rect, align, m_caption);
    } else {
        p.setClipRect(rect);
        p.setPen(OleColor::toQColor(m_foreColor, palette()));
        p.drawText(rect, align, m_caption);
    }
}

void Command::paintEdge(QImage &target)
{
    unsigned edge = EdgePainter::EdgeRaised;
    ButtonEdgeStyles style = m_mouseOutStyle;
    if (m_visualState == StatePressed) {
        edge = m_clickEffect == bStyle::eNormal ? EdgePainter::EdgeSunken : EdgePainter::EdgeBump;
        style = m_mouseClickStyle;
    } else if (m_visualState == StateOver) {
        style = m_mouseOverStyle;
    }
    EdgePainter::drawEdge(target, target.rect(), edge, lookOf(style), palette());
}

QImage Command::compose()
{
    const int W = width();
    const int H = height();
    if (W <= 0 || H <= 0)
        return QImage();

    const QColor back = OleColor::toQColor(m_backColor, palette());
    QImage content(size(), QImage::Format_RGB32);
    content.fill(back);

    if (m_buttonType == BType::Transparent)
        paintBackground(content);

    const Layout lay = layout();
    if (lay.image) {
        QPainter p(&content);
        p.drawImage(lay.picturePos, *lay.image);
    }
    paintText(content, lay);

    // Pressed with a bevel, the content moves one pixel right and down; the row and
    // column it uncovers keep the back colour.
    QImage surface;
    if (m_visualState == StatePressed && m_bevel) {
        surface = QImage(size(), QImage::Format_RGB32);
        QPainter p(&surface);
        p.fillRect(0, 0, W, 1, back);
        p.fillRect(0, 0, 1, H, back);
        p.end();
        copyPixels(surface, QPoint(1, 1), content, QRect(0, 0, W - 1, H - 1));
    } else {
        surface = std::move(content);
    }

    if (m_bevel || m_visualState == StatePressed || m_visualState == StateOver)
        paintEdge(surface);

    if (m_focusRect && hasFocus()) {
        const int ix = W < 5 ? 1 : 4;
        const int iy = H < 5 ? 1 : 4;
        EdgePainter::invertFocusOutline(surface, QRect(QPoint(ix, iy), QPoint(W - 1 - ix, H - 1 - iy)));
    }

    if (m_selected && W >= 5 && H >= 5) {
        // A box between two corner points: on small controls the corners may cross.
        const QRect mark = m_bevel ? QRect::span(QPoint(4, 4), QPoint(W - 5, H - 5))
                                   : QRect(QPoint(0, 0), QPoint(W - 1, H - 1));
        EdgePainter::invertDottedOutline(surface, mark, 3, 3);
    }
    return surface;
}

void Command::paintEvent(QPaintEvent *event)
{
    const QImage surface = m_updatesLocked ? m_lockedSurface : compose();
    QPainter p(this);
    // While locked what was on screen stays; anything it does not cover (the control
    // grew meanwhile, or was not shown when the lock began) shows the back colour.
    QRegion uncovered(event->rect());
    if (!surface.isNull()) {
        p.drawImage(0, 0, surface);
        uncovered -= QRegion(surface.rect());
    }
    for (const QRect &r : uncovered)
        p.fillRect(r, OleColor::toQColor(m_backColor, palette()));
}
