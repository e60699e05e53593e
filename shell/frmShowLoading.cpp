#include "frmShowLoading.h"

#include "base/modGlobals.h"
#include "platform/Services.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

namespace {

QLabel *makeLabel(QWidget *parent, const QString &name, const QString &text, int pointSize,
                  const QColor &colour)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    QFont font(QStringLiteral("Tahoma"), pointSize, QFont::Bold);
    font.setStyleHint(QFont::SansSerif);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    label->adjustSize();
    return label;
}

} // namespace

frmShowLoading::frmShowLoading(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmShowLoading"));
    setWindowTitle(modGlobals::AppTitle);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(0x1f, 0x4e, 0x8c));
    setPalette(palette);
    setFixedSize(420, 170);

    // Each text is a dark copy with a lighter one on top, a soft shadow.
    Label3[0] = makeLabel(this, QStringLiteral("Label3_0"), modGlobals::AppTitle, 30, QColor(0x0b, 0x22, 0x40));
    Label3[1] = makeLabel(this, QStringLiteral("Label3_1"), modGlobals::AppTitle, 30, QColor(0xff, 0xd4, 0x4a));
    Label1[0] = makeLabel(this, QStringLiteral("Label1_0"), QStringLiteral("Loading, please wait..."), 11,
                          QColor(0x0b, 0x22, 0x40));
    Label1[1] = makeLabel(this, QStringLiteral("Label1_1"), QStringLiteral("Loading, please wait..."), 11,
                          Qt::white);
    Label3[0]->move(0, 26);
    Label3[1]->move(0, 24);
    Label1[0]->move(0, 92);
    Label1[1]->move(0, 90);
    Label3[1]->raise();
    Label1[1]->raise();

    picProgress = new QWidget(this);
    picProgress->setObjectName(QStringLiteral("picProgress"));
    picProgress->setGeometry(40, 130, 340, 12);
    picProgress->installEventFilter(this);

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());

    // Load handler.
    modGlobals::LoadScreenVisible = true;
    if (!modGlobals::DebugMode)
        platform::Services::windows().setTopMost(this, true);
}

frmShowLoading::~frmShowLoading()
{
    modGlobals::LoadScreenVisible = false;
}

void frmShowLoading::SetProgress(double fraction)
{
    m_progress = qBound(0.0, fraction, 1.0);
    picProgress->update();
}

void frmShowLoading::resizeEvent(QResizeEvent *event)
{
    for (QLabel *label : {Label3[0], Label3[1], Label1[0], Label1[1]})
        label->move((width() - label->width()) / 2, label->y());
    QWidget::resizeEvent(event);
}

bool frmShowLoading::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == picProgress && event->type() == QEvent::Paint) {
        QPainter painter(picProgress);
        painter.fillRect(picProgress->rect(), QColor(0x0b, 0x22, 0x40));
        painter.fillRect(QRect(0, 0, int(picProgress->width() * m_progress), picProgress->height()), Qt::white);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
