#include "StatusLine.h"

#include <QPainter>
#include <QProgressBar>

namespace {

constexpr int ProgressWidth = 120;
constexpr int RightGap = 4;
constexpr int Margin = 6;

} // namespace

StatusLine::StatusLine(QWidget *parent)
    : QFrame(parent)
    , m_progress(new QProgressBar(this))
{
    setObjectName(QStringLiteral("Picture2"));
    setFrameShape(QFrame::NoFrame);
    setAutoFillBackground(true);
    setStyleSheet(QStringLiteral(
        "#Picture2 { background: #eef1f5; border-top: 1px solid #c9d0da; color: #33404f; }"
        "#Picture1 { background: white; border: 1px solid #9aa6b5; border-radius: 3px; }"
        "#Picture1::chunk { background: #2468d8; border-radius: 2px; }"));
    m_progress->setObjectName(QStringLiteral("Picture1"));
    m_progress->setTextVisible(false);
    m_progress->setRange(0, 100);
    setProgress(-1);
}

void StatusLine::setText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    update(textRect());
}

void StatusLine::setProgress(int percent)
{
    m_progress->setValue(percent < 0 || percent >= 100 ? 0 : percent);
}

QSize StatusLine::sizeHint() const
{
    return {400, fontMetrics().height() + 2 * Margin};
}

void StatusLine::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    const QRect rect = textRect();
    painter.drawText(rect, Qt::AlignLeft | Qt::AlignVCenter,
                     fontMetrics().elidedText(m_text, Qt::ElideMiddle, rect.width()));
}

void StatusLine::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    const int height = qMax(6, this->height() - 2 * Margin + 2);
    m_progress->setGeometry(width() - RightGap - ProgressWidth, (this->height() - height) / 2 + 1,
                            ProgressWidth, height);
}

QRect StatusLine::textRect() const
{
    return QRect(Margin, 1, width() - 2 * Margin - RightGap - ProgressWidth, height() - 1);
}
