#include "frmCountdown.h"

#include "Overlay.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

frmCountdown::frmCountdown(QWidget *parent)
    : QWidget(parent, Overlay::Flags)
{
    Overlay::Dress(this, QStringLiteral("frmCountdown"), 4);

    m_text = new QLabel(this);
    m_text->setObjectName(QStringLiteral("lblLeft"));
    m_text->setAlignment(Qt::AlignCenter);
    m_text->setFont(QFont(QStringLiteral("Tahoma"), 40, QFont::Bold));
    m_hint = new QLabel(QStringLiteral("Time to finish your game."), this);
    m_hint->setObjectName(QStringLiteral("lblHint"));
    m_hint->setAlignment(Qt::AlignCenter);
    m_hint->setFont(QFont(QStringLiteral("Tahoma"), 18));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(40, 24, 40, 24);
    layout->addWidget(m_text);
    layout->addWidget(m_hint);

    m_hideTimer = new QTimer(this);
    m_hideTimer->setObjectName(QStringLiteral("HideTimer"));
    m_hideTimer->setSingleShot(true);
    m_hideTimer->setInterval(ShowMs);
    connect(m_hideTimer, &QTimer::timeout, this, &QWidget::hide);
}

QString frmCountdown::NoticeText(qint64 seconds)
{
    if (seconds > 60) {
        const qint64 minutes = (seconds + 59) / 60;
        return QStringLiteral("%1 minutes left").arg(minutes);
    }
    if (seconds == 60)
        return QStringLiteral("1 minute left");
    if (seconds == 1)
        return QStringLiteral("1 second left");
    return QStringLiteral("%1 seconds left").arg(std::max<qint64>(seconds, 0));
}

void frmCountdown::ShowNotice(qint64 seconds)
{
    m_text->setText(NoticeText(seconds));
    adjustSize();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    move(screen.center().x() - width() / 2, screen.top() + screen.height() / 5);
    show();
    raise();
    m_hideTimer->start();
}
