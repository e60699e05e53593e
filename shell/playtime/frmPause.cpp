#include "frmPause.h"

#include "base/modGlobals.h"
#include "platform/Services.h"

#include <OleColor.h>

#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdlib>

namespace {

// A held mouse button keeps the pointer with the program under it; a second
// is long enough to let go.
constexpr int InputTries = 20;
constexpr int InputRetryMs = 50;

} // namespace

frmPause::frmPause(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmPause"));
    setWindowTitle(QStringLiteral("Paused"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    lblPaused = new QLabel(QStringLiteral("Paused"), this);
    lblPaused->setObjectName(QStringLiteral("lblPaused"));
    lblTimeLeft = new QLabel(this);
    lblTimeLeft->setObjectName(QStringLiteral("lblTimeLeft"));
    lblHint = new QLabel(QStringLiteral("Press a key or click to play on."), this);
    lblHint->setObjectName(QStringLiteral("lblHint"));
    auto *layout = new QVBoxLayout(this);
    layout->addStretch();
    for (QLabel *label : {lblPaused, lblTimeLeft, lblHint}) {
        label->setAlignment(Qt::AlignCenter);
        layout->addWidget(label);
    }
    layout->addStretch();
    InputTimer = new QTimer(this);
    InputTimer->setObjectName(QStringLiteral("InputTimer"));
    InputTimer->setInterval(InputRetryMs);
    InputTimer->setSingleShot(true);
    connect(InputTimer, &QTimer::timeout, this, &frmPause::takeInput);
}

frmPause::~frmPause()
{
    Uncover();
}

void frmPause::Cover(std::optional<qint64> secondsLeft, const QImage &background)
{
    const SettingsRecord &ss = modGlobals::SS;
    QFont font(ss.FontName.isEmpty() ? QStringLiteral("Tahoma") : ss.FontName, 72, QFont::Bold);
    lblPaused->setFont(font);
    font.setPointSize(28);
    lblTimeLeft->setFont(font);
    font.setPointSize(16);
    font.setBold(false);
    lblHint->setFont(font);
    if (secondsLeft) {
        const qint64 s = std::max<qint64>(0, *secondsLeft);
        lblTimeLeft->setText(QStringLiteral("Time left: %1:%2:%3")
                                 .arg(s / 3600)
                                 .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
                                 .arg(s % 60, 2, 10, QLatin1Char('0')));
    }
    lblTimeLeft->setVisible(secondsLeft.has_value());

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        setGeometry(screen->geometry());
    m_background = background;
    // The menu's text colour, unless it would hardly show on the background.
    QColor text = OleColor::toQColor(quint32(ss.ScreenTextColor));
    const int backLightness = m_background.isNull() ? 128 : m_background.scaled(1, 1).pixelColor(0, 0).lightness();
    if (std::abs(text.lightness() - backLightness) < 96)
        text = backLightness < 128 ? Qt::white : Qt::black;
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, text);
    setPalette(palette);
    platform::Services::windows().setTopMost(this, true);
    showFullScreen();
    raise();
    activateWindow();
    m_tries = 0;
    takeInput();
}

void frmPause::Uncover()
{
    InputTimer->stop();
    if (isVisible())
        platform::Services::ownWindows().releaseInput();
    hide();
}

void frmPause::takeInput()
{
    if (!isVisible())
        return;
    if (platform::Services::ownWindows().takeInput([this] { emit resumeRequested(); }))
        return;
    if (++m_tries < InputTries) {
        InputTimer->start();
        return;
    }
    modGlobals::WriteLog(QStringLiteral("frmPause()::Keyboard or pointer held by another program, pause ended."));
    emit resumeRequested();
}

void frmPause::mousePressEvent(QMouseEvent *)
{
    emit resumeRequested();
}

void frmPause::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), OleColor::toQColor(quint32(modGlobals::SS.ScreenBackColor)));
    painter.drawImage(0, 0, m_background);
}
