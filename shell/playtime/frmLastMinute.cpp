#include "frmLastMinute.h"

#include "Overlay.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>

frmLastMinute::frmLastMinute(QWidget *parent)
    : QWidget(parent, Overlay::Flags)
{
    Overlay::Dress(this, QStringLiteral("frmLastMinute"), 3);

    m_seconds = new QLabel(this);
    m_seconds->setObjectName(QStringLiteral("lblSeconds"));
    m_seconds->setAlignment(Qt::AlignCenter);
    m_seconds->setFont(QFont(QStringLiteral("Tahoma"), 22, QFont::Bold));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(14, 6, 14, 6);
    layout->addWidget(m_seconds);
    // Wide enough for "60 s" so that it does not jump as the digits change.
    setFixedSize(QFontMetrics(m_seconds->font()).horizontalAdvance(QStringLiteral("60 s")) + 40,
                 QFontMetrics(m_seconds->font()).height() + 20);
}

void frmLastMinute::ShowSeconds(qint64 seconds)
{
    if (seconds < 0) {
        hide();
        return;
    }
    m_seconds->setText(QStringLiteral("%1 s").arg(seconds));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    move(screen.right() - width() - 16, screen.top() + 16);
    show();
    // A game raised since the last second stays below.
    raise();
}
