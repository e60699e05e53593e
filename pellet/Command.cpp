#include "Command.h"

#include <QCursor>
#include <QPointer>
#include <QTimer>

Command::Command(QWidget *parent)
    : QWidget(parent)
{
    // Every pixel comes from the composed surface, so Qt need not clear behind it.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    connect(m_timer1, &QTimer::timeout, this, &Command::followTick);
    applyTimer();
}

Command::~Command() = default;

void Command::InitProperties()
{
    m_textAlignment = tAlignments::eCenter;
    m_pictureAlignment = pAlignments::eLeft;
    m_caption = objectName();
    setPicture(QPixmap());
    m_backColor = OleColor::ButtonFace;
    m_foreColor = OleColor::ButtonText;
    setFont(QFont()); // inherit the container's font
    m_focusRect = false;
    m_gab = 5;
    setEnabled(true);
    m_clickEffect = bStyle::eNormal;
    m_buttonType = BType::CustomButton;
    m_drawAsDisabled = false;
    m_extraData = 0;
    m_extraData2 = 0;
    m_selected = false;
    m_mousePointer = 0;
    m_bevel = true;
    m_autoUpdTsp = false;
    m_autoUpdTspInterval = 10;
    m_visEnabledState = true;
    m_mouseIcon = QPixmap();
    m_mouseOverEffect = true;
    m_mouseOverStyle = ButtonEdgeStyles::MONO;
    m_mouseClickStyle = ButtonEdgeStyles::SOFT;
    m_mouseOutStyle = ButtonEdgeStyles::FLAT;
    applyPointer();
    applyTimer();
    requestPaint();
}

// ---- properties ---------------------------------------------------------------------

void Command::propertyWritten(const char *name, bool repaint)
{
    emit PropertyChanged(QString::fromLatin1(name));
    if (repaint)
        requestPaint();
}

void Command::setTextAlignment(tAlignments value)
{
    m_textAlignment = value;
    propertyWritten("TextAlignment", true);
}

void Command::setPictureAlignment(pAlignments value)
{
    m_pictureAlignment = value;
    propertyWritten("PictureAlignment", true);
}

void Command::setCaption(const QString &value)
{
    m_caption = value;
    propertyWritten("Caption", true);
}

void Command::setPicture(const QPixmap &value)
{
    m_picture = value;
    m_keyedFor = -1;
    propertyWritten("Picture", true);
}

void Command::setBackColor(quint32 value)
{
    m_backColor = value;
    propertyWritten("BackColor", true);
}

void Command::setForeColor(quint32 value)
{
    m_foreColor = value;
    propertyWritten("ForeColor", true);
}

void Command::setFocusRect(bool value)
{
    m_focusRect = value;
    propertyWritten("FocusRect", false);
}

void Command::setGab(int value)
{
    m_gab = value;
    propertyWritten("Gab", true);
}

void Command::setClickEffect(bStyle value)
{
    m_clickEffect = value;
    propertyWritten("ClickEffect", true);
}

void Command::setButtonType(BType value)
{
    m_buttonType = value;
    propertyWritten("ButtonType", true);
}

void Command::setDrawAsDisabled(bool value)
{
    m_drawAsDisabled = value;
    propertyWritten("DrawAsDisabled", true);
}

void Command::setExtraData(qint32 value)
{
    m_extraData = value;
    propertyWritten("ExtraData", false);
}

void Command::setExtraData2(qint32 value)
{
    m_extraData2 = value;
    propertyWritten("ExtraData2", false);
}

void Command::setSelected(bool value)
{
    m_selected = value;
    propertyWritten("Selected", true);
}

void Command::setMousePointer(int value)
{
    m_mousePointer = value;
    applyPointer();
    propertyWritten("MousePointer", false);
}

void Command::setBevel(bool value)
{
    m_bevel = value;
    propertyWritten("Bevel", true);
}

void Command::setAutoUpdTsp(bool value)
{
    m_autoUpdTsp = value;
    applyTimer();
    propertyWritten("AutoUpdTsp", false);
}

void Command::setAutoUpdTspInterval(qint32 value)
{
    m_autoUpdTspInterval = value;
    applyTimer();
    propertyWritten("AutoUpdTspInterval", false);
}

void Command::setVisEnabledState(bool value)
{
    m_visEnabledState = value;
    propertyWritten("VisEnabledState", true);
}

void Command::setMouseIcon(const QPixmap &value)
{
    m_mouseIcon = value;
    applyPointer();
    propertyWritten("MouseIcon", false);
}

void Command::setMouseOverEffect(bool value)
{
    m_mouseOverEffect = value;
    propertyWritten("MouseOverEffect", false);
}

void Command::setMouseOverStyle(ButtonEdgeStyles value)
{
    m_mouseOverStyle = value;
    propertyWritten("MouseOverStyle", false);
}

void Command::setMouseClickStyle(ButtonEdgeStyles value)
{
    m_mouseClickStyle = value;
    propertyWritten("MouseClickStyle", false);
}

void Command::setMouseOutStyle(ButtonEdgeStyles value)
{
    m_mouseOutStyle = value;
    propertyWritten("MouseOutStyle", true);
}

void Command::applyPointer()
{
    static const Qt::CursorShape shapes[] = {
        Qt::ArrowCursor,      // 0, not used: default means no cursor of our own
        Qt::ArrowCursor,      // 1 arrow
        Qt::CrossCursor,      // 2 cross
        Qt::IBeamCursor,      // 3 I-beam
        Qt::ArrowCursor,      // 4 icon
        Qt::SizeAllCursor,    // 5 size
        Qt::SizeBDiagCursor,  // 6 size NE-SW
        Qt::SizeVerCursor,    // 7 size N-S
        Qt::SizeFDiagCursor,  // 8 size NW-SE
        Qt::SizeHorCursor,    // 9 size W-E
        Qt::UpArrowCursor,    // 10 up arrow
        Qt::WaitCursor,       // 11 hourglass
        Qt::ForbiddenCursor,  // 12 no drop
        Qt::BusyCursor,       // 13 arrow and hourglass
        Qt::WhatsThisCursor,  // 14 arrow and question mark
        Qt::SizeAllCursor,    // 15 size all
    };
    if (m_mousePointer == 99 && !m_mouseIcon.isNull())
        setCursor(QCursor(m_mouseIcon));
    else if (m_mousePointer >= 1 && m_mousePointer <= 15)
        setCursor(shapes[m_mousePointer]);
    else
        unsetCursor();
}

void Command::applyTimer()
{
    // An interval of 0 (or less) stops the timer, as it would a form timer.
    if (m_autoUpdTsp && m_autoUpdTspInterval > 0) {
        m_timer1->setInterval(m_autoUpdTspInterval);
        m_timer1->start();
    } else {
        m_timer1->setInterval(qMax(0, m_autoUpdTspInterval));
        m_timer1->stop();
    }
}

void Command::followTick()
{
    if (m_buttonType != BType::Transparent)
        return;
    if (x() != m_lastLeft || y() != m_lastTop) {
        m_lastLeft = x();
        m_lastTop = y();
        requestPaint();
    }
}

double Command::twipsPerPixelX() const
{
    return 1440.0 / qMax(1, logicalDpiX());
}

double Command::twipsPerPixelY() const
{
    return 1440.0 / qMax(1, logicalDpiY());
}

// ---- methods --------------------------------------------------------------------------

void Command::LockUpdate(bool Value)
{
    // A control on screen keeps showing what it showed when the lock began.
    if (Value && !m_updatesLocked && isVisible())
        m_lockedSurface = compose();
    m_updatesLocked = Value;
    if (!Value) {
        m_lockedSurface = QImage();
        requestPaint();
    }
}

void Command::ReDraw()
{
    requestPaint();
}

void Command::ResetButton()
{
    if (m_visualState == StatePressed) {
        QPointer<Command> self(this);
        emit Click();
        if (!self)
            return;
    }
    m_mousePressed = false;
    m_visualState = StateOut;
    requestPaint();
}

void Command::requestPaint()
{
    if (m_updatesLocked)
        return;
    update();
}

void Command::setVisualState(int state)
{
    if (m_visualState == state)
        return;
    m_visualState = state;
    requestPaint();
}
