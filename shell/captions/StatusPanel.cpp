#include "StatusPanel.h"

#include "widgets/FormParts.h"

#include <QPainter>

namespace {

QColor inverse(const QColor &color)
{
    return QColor(255 - color.red(), 255 - color.green(), 255 - color.blue());
}

} // namespace

StatusPanel::StatusPanel(const char *name, QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QLatin1String(name));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void StatusPanel::setColors(const QColor &back, const QColor &text)
{
    if (back == m_back && text == m_textColor)
        return;
    m_back = back;
    m_textColor = text;
    update();
}

void StatusPanel::Print(const QString &text, int barPercent)
{
    barPercent = qMin(barPercent, 100);
    if (text == m_text && barPercent == m_barPercent)
        return;
    m_text = text;
    m_barPercent = barPercent;
    update();
}

void StatusPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_back);
    painter.setPen(m_textColor);
    painter.drawText(rect(), Qt::AlignCenter, m_text);
    if (m_barPercent > 0) {
        // The covered part in inverse colours, as if the bar inverted it.
        const QRect covered(0, 0, qRound(width() * m_barPercent / 100.0), height());
        painter.save();
        painter.setClipRect(covered);
        painter.fillRect(covered, inverse(m_back));
        painter.setPen(inverse(m_textColor));
        painter.drawText(rect(), Qt::AlignCenter, m_text);
        painter.restore();
    }
    // A sunken edge sets the panel off from the bar in any colours, in opaque
    // shades of what lies under it.
    const int coveredWidth = m_barPercent > 0 ? qRound(width() * m_barPercent / 100.0) : 0;
    const auto edge = [&](const QRect &line, const QColor &shade) {
        painter.fillRect(line, FormParts::Over(shade, m_back));
        const QRect covered = line.intersected(QRect(0, 0, coveredWidth, height()));
        if (!covered.isEmpty())
            painter.fillRect(covered, FormParts::Over(shade, inverse(m_back)));
    };
    const QColor dark(0, 0, 0, 70), light(255, 255, 255, 150);
    edge(QRect(0, 0, width(), 1), dark);
    edge(QRect(0, 0, 1, height()), dark);
    edge(QRect(1, height() - 1, width() - 1, 1), light);
    edge(QRect(width() - 1, 1, 1, height() - 1), light);
}
