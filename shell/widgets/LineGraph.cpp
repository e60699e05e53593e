#include "LineGraph.h"

#include "widgets/FormParts.h"

#include <QPainter>
#include <QPainterPath>

LineGraph::LineGraph(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void LineGraph::setBackColor(const QColor &color)
{
    if (color == m_backColor)
        return;
    m_backColor = color;
    update();
}

void LineGraph::setLineColor(const QColor &color)
{
    if (color == m_lineColor)
        return;
    m_lineColor = color;
    update();
}

void LineGraph::setMaximum(double maximum)
{
    m_maximum = maximum > 0 ? maximum : 1;
    update();
}

void LineGraph::setStep(int pixels)
{
    m_step = qMax(1, pixels);
    trim();
    update();
}

void LineGraph::AddValue(double value)
{
    m_values.append(qBound(0.0, value, m_maximum));
    trim();
    update();
}

int LineGraph::capacity() const
{
    return width() / m_step + 2;
}

void LineGraph::trim()
{
    const int excess = int(m_values.size()) - capacity();
    if (excess > 0)
        m_values.remove(0, excess);
}

void LineGraph::resizeEvent(QResizeEvent *event)
{
    trim();
    QWidget::resizeEvent(event);
}

void LineGraph::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRectF area = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.fillRect(rect(), m_backColor);

    // Every shade is opaque: a translucent fill of a busy graph is blended by
    // Qt's worker threads, which then wake with every repaint.
    QPainterPath line;
    if (!m_values.isEmpty()) {
        const auto pointAt = [&](qsizetype index) {
            const double x = area.right() - double(m_values.size() - 1 - index) * m_step;
            return QPointF(x, area.bottom() - m_values.at(index) / m_maximum * (area.height() - 1));
        };
        line.moveTo(pointAt(0));
        for (qsizetype i = 1; i < m_values.size(); ++i)
            line.lineTo(pointAt(i));
        QPainterPath filled = line;
        filled.lineTo(area.right(), area.bottom());
        filled.lineTo(pointAt(0).x(), area.bottom());
        filled.closeSubpath();
        QColor fill = m_lineColor;
        fill.setAlphaF(0.3);
        painter.setClipRect(area);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(filled, FormParts::Over(fill, m_backColor));
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setClipping(false);
    }

    // Quarter lines and a frame in a faint shade of the line colour, over the fill.
    QColor faint = m_lineColor;
    faint.setAlphaF(0.25);
    painter.setPen(FormParts::Over(faint, m_backColor));
    for (int quarter = 1; quarter < 4; ++quarter) {
        const double y = area.top() + area.height() * quarter / 4;
        painter.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
    }
    painter.drawRect(area);
    if (line.isEmpty())
        return;
    painter.setClipRect(area);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(m_lineColor, 1.5));
    painter.drawPath(line);
}
