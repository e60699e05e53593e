#include "settings/ColorBox.h"

#include <OleColor.h>

#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>

namespace {

const QString MimeType = QStringLiteral("application/x-brindle-color");

} // namespace

ColorBox::ColorBox(QWidget *parent)
    : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setAcceptDrops(true);
    setCursor(Qt::PointingHandCursor);
    setMinimumSize(90, 36);
}

void ColorBox::setColor(quint32 value)
{
    m_color = value;
    update();
}

QColor ColorBox::Inverse(const QColor &color)
{
    return QColor(255 - color.red(), 255 - color.green(), 255 - color.blue());
}

void ColorBox::paintEvent(QPaintEvent *event)
{
    {
        QPainter painter(this);
        const QColor fill = OleColor::toQColor(m_color, palette());
        painter.fillRect(contentsRect(), fill);
        painter.setPen(Inverse(fill));
        painter.drawText(contentsRect(), Qt::AlignCenter, QStringLiteral("Right-click"));
    }
    QFrame::paintEvent(event);
}

void ColorBox::mousePressEvent(QMouseEvent *event)
{
    m_pressed = true;
    m_pressAt = event->position().toPoint();
}

void ColorBox::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_pressed || !(event->buttons() & Qt::LeftButton)
        || (event->position().toPoint() - m_pressAt).manhattanLength() < QApplication::startDragDistance())
        return;
    m_pressed = false;
    auto *data = new QMimeData;
    data->setData(MimeType, QByteArray::number(m_color));
    auto *drag = new QDrag(this);
    drag->setMimeData(data);
    QPixmap swatch(24, 24);
    swatch.fill(OleColor::toQColor(m_color, palette()));
    drag->setPixmap(swatch);
    drag->exec(Qt::CopyAction);
}

void ColorBox::mouseReleaseEvent(QMouseEvent *event)
{
    const bool wasClick = m_pressed && rect().contains(event->position().toPoint());
    m_pressed = false;
    if (wasClick)
        emit clicked();
}

void ColorBox::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasFormat(MimeType) && event->source() != this)
        event->acceptProposedAction();
}

void ColorBox::dropEvent(QDropEvent *event)
{
    bool ok = false;
    const quint32 value = event->mimeData()->data(MimeType).toUInt(&ok);
    if (!ok || event->source() == this)
        return;
    setColor(value);
    event->acceptProposedAction();
    emit colorDropped();
}
