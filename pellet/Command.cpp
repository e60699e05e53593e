#include "Command.h"

#include "PropertyBag.h"
#include "VirtualKeys.h"

#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
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
    m_picBuf = value.isNull() ? QImage() : value.toImage().convertToFormat(QImage::Format_ARGB32);
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
    m_updatesLocked = Value;
    if (!Value)
        requestPaint();
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

// ---- persistence ----------------------------------------------------------------------

namespace {

QVariant pictureValue(const QPixmap &pixmap)
{
    return pixmap.isNull() ? QVariant() : QVariant(pixmap);
}

QPixmap pictureFrom(const QVariant &value)
{
    if (value.typeId() == QMetaType::QImage)
        return QPixmap::fromImage(value.value<QImage>());
    if (value.typeId() == QMetaType::QPixmap)
        return value.value<QPixmap>();
    return QPixmap();
}

QFont containerFont(const QWidget *w)
{
    return w->parentWidget() ? w->parentWidget()->font() : QGuiApplication::font();
}

} // namespace

void Command::WriteProperties(PropertyBag &bag) const
{
    bag.WriteProperty(QStringLiteral("TextAlignment"), int(m_textAlignment), 1);
    bag.WriteProperty(QStringLiteral("PictureAlignment"), int(m_pictureAlignment), 0);
    bag.WriteProperty(QStringLiteral("Caption"), m_caption, QString());
    bag.WriteProperty(QStringLiteral("Picture"), pictureValue(m_picture), QVariant());
    bag.WriteProperty(QStringLiteral("BackColor"), uint(m_backColor), uint(OleColor::ButtonFace));
    bag.WriteProperty(QStringLiteral("ForeColor"), uint(m_foreColor), uint(OleColor::ButtonText));
    bag.WriteProperty(QStringLiteral("Font"), font(), containerFont(this));
    bag.WriteProperty(QStringLiteral("FocusRect"), m_focusRect, false);
    bag.WriteProperty(QStringLiteral("Gab"), m_gab, 5);
    bag.WriteProperty(QStringLiteral("Enabled"), Enabled(), true);
    bag.WriteProperty(QStringLiteral("ClickEffect"), int(m_clickEffect), 0);
    bag.WriteProperty(QStringLiteral("ButtonType"), int(m_buttonType), 0);
    bag.WriteProperty(QStringLiteral("DrawAsDisabled"), m_drawAsDisabled, false);
    bag.WriteProperty(QStringLiteral("ExtraData"), m_extraData, 0);
    bag.WriteProperty(QStringLiteral("ExtraData2"), m_extraData2, 0);
    bag.WriteProperty(QStringLiteral("Selected"), m_selected, false);
    bag.WriteProperty(QStringLiteral("MousePointer"), m_mousePointer, 0);
    bag.WriteProperty(QStringLiteral("Bevel"), m_bevel, true);
    bag.WriteProperty(QStringLiteral("AutoUpdTsp"), m_autoUpdTsp, false);
    bag.WriteProperty(QStringLiteral("AutoUpdTspInterval"), m_autoUpdTspInterval, 10);
    bag.WriteProperty(QStringLiteral("VisEnabledState"), m_visEnabledState, true);
    bag.WriteProperty(QStringLiteral("MouseIcon"), pictureValue(m_mouseIcon), QVariant());
    bag.WriteProperty(QStringLiteral("MouseOverEffect"), m_mouseOverEffect, true);
    bag.WriteProperty(QStringLiteral("MouseOverStyle"), int(m_mouseOverStyle), 2);
    bag.WriteProperty(QStringLiteral("MouseClickStyle"), int(m_mouseClickStyle), 0);
    bag.WriteProperty(QStringLiteral("MouseOutStyle"), int(m_mouseOutStyle), 1);
}

void Command::ReadProperties(PropertyBag &bag)
{
    auto readInt = [&](const char *key, int def) {
        return bag.ReadProperty(QString::fromLatin1(key), def).toInt();
    };
    auto readBool = [&](const char *key, bool def) {
        return bag.ReadProperty(QString::fromLatin1(key), def).toBool();
    };
    auto readColor = [&](const char *key, quint32 def) {
        return quint32(bag.ReadProperty(QString::fromLatin1(key), uint(def)).toUInt());
    };

    m_readingProperties = true;
    m_textAlignment = tAlignments(readInt("TextAlignment", 1));
    m_pictureAlignment = pAlignments(readInt("PictureAlignment", 0));
    m_caption = bag.ReadProperty(QStringLiteral("Caption"), QString()).toString();
    const QPixmap picture = pictureFrom(bag.ReadProperty(QStringLiteral("Picture"), QVariant()));
    m_picture = picture;
    m_picBuf = picture.isNull() ? QImage() : picture.toImage().convertToFormat(QImage::Format_ARGB32);
    m_keyedFor = -1;
    m_backColor = readColor("BackColor", OleColor::ButtonFace);
    m_foreColor = readColor("ForeColor", OleColor::ButtonText);
    const QVariant font = bag.ReadProperty(QStringLiteral("Font"), QVariant());
    setFont(font.typeId() == QMetaType::QFont ? font.value<QFont>() : QFont());
    m_focusRect = readBool("FocusRect", false);
    m_gab = readInt("Gab", 5);
    setEnabled(readBool("Enabled", true));
    m_clickEffect = bStyle(readInt("ClickEffect", 0));
    m_buttonType = BType(readInt("ButtonType", 0));
    m_drawAsDisabled = readBool("DrawAsDisabled", false);
    m_extraData = readInt("ExtraData", 0);
    m_extraData2 = readInt("ExtraData2", 0);
    m_selected = readBool("Selected", false);
    m_mousePointer = readInt("MousePointer", 0);
    m_bevel = readBool("Bevel", true);
    m_autoUpdTsp = readBool("AutoUpdTsp", false);
    m_autoUpdTspInterval = readInt("AutoUpdTspInterval", 10);
    m_visEnabledState = readBool("VisEnabledState", true);
    m_mouseIcon = pictureFrom(bag.ReadProperty(QStringLiteral("MouseIcon"), QVariant()));
    m_mouseOverEffect = readBool("MouseOverEffect", true);
    m_mouseOverStyle = ButtonEdgeStyles(readInt("MouseOverStyle", 2));
    m_mouseClickStyle = ButtonEdgeStyles(readInt("MouseClickStyle", 0));
    m_mouseOutStyle = ButtonEdgeStyles(readInt("MouseOutStyle", 1));
    m_readingProperties = false;

    applyPointer();
    applyTimer();
    requestPaint();
}

// ---- events ---------------------------------------------------------------------------

void Command::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    requestPaint();
}

void Command::changeEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::EnabledChange:
        if (!m_readingProperties)
            emit PropertyChanged(QStringLiteral("Enabled"));
        requestPaint();
        break;
    case QEvent::FontChange:
        if (!m_readingProperties)
            emit PropertyChanged(QStringLiteral("Font"));
        requestPaint();
        break;
    case QEvent::PaletteChange:
        requestPaint();
        break;
    default:
        break;
    }
    QWidget::changeEvent(event);
}

void Command::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    requestPaint();
}

void Command::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    requestPaint();
}

bool Command::isInside(const QPointF &pos) const
{
    return pos.x() > 0 && pos.x() < width() && pos.y() > 0 && pos.y() < height();
}

void Command::handlePress(int button, int shift, float x, float y)
{
    int b = button;
    int s = shift;
    float tx = float(x * twipsPerPixelX());
    float ty = float(y * twipsPerPixelY());
    bool cancelDownEffect = false;
    QPointer<Command> self(this);
    emit MouseDown(b, s, tx, ty, cancelDownEffect);
    if (!self)
        return;
    if (!cancelDownEffect && button == 1) {
        m_mousePressed = true;
        setVisualState(StatePressed);
    }
    m_downSeen = true;
}

void Command::mousePressEvent(QMouseEvent *event)
{
    const QPointF pos = event->position();
    handlePress(VirtualKeys::mouseButtons(event->button()),
                VirtualKeys::shiftState(event->modifiers()), float(pos.x()), float(pos.y()));
}

void Command::mouseMoveEvent(QMouseEvent *event)
{
    const QPointF pos = event->position();
    // Repainting only on a change of look gives the same picture as repainting on
    // every move, without recomposing for each pixel the pointer travels.
    if (m_mousePressed) {
        if (isInside(pos) && event->buttons() == Qt::LeftButton) {
            m_leftWhilePressed = false;
            setVisualState(StatePressed);
        } else {
            m_leftWhilePressed = true;
            setVisualState(StateOut);
        }
    } else if (m_mouseOverEffect) {
        // The pointer leaving is seen by leaveEvent, which stands in for a mouse capture.
        if (isInside(pos) && event->buttons() == Qt::NoButton)
            setVisualState(StateOver);
        else
            setVisualState(StateOut);
    }
    int b = VirtualKeys::mouseButtons(event->buttons());
    int s = VirtualKeys::shiftState(event->modifiers());
    float tx = float(pos.x() * twipsPerPixelX());
    float ty = float(pos.y() * twipsPerPixelY());
    emit MouseMove(b, s, tx, ty);
}

void Command::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    if (m_mousePressed || !m_mouseOverEffect || m_visualState != StateOver)
        return;
    setVisualState(StateOut);
    const QPointF pos = mapFromGlobal(QCursor::pos());
    int b = VirtualKeys::mouseButtons(QGuiApplication::mouseButtons());
    int s = VirtualKeys::shiftState(QGuiApplication::keyboardModifiers());
    float tx = float(pos.x() * twipsPerPixelX());
    float ty = float(pos.y() * twipsPerPixelY());
    emit MouseMove(b, s, tx, ty);
}

void Command::mouseReleaseEvent(QMouseEvent *event)
{
    const int button = VirtualKeys::mouseButtons(event->button());
    if (button == 1) {
        m_mousePressed = false;
        setVisualState(StateOut);
    }
    if (m_leftWhilePressed) {
        m_leftWhilePressed = false;
        m_downSeen = false;
        return;
    }
    const bool click = button == 1 && m_downSeen;
    m_downSeen = false;
    QPointer<Command> self(this);
    if (click) {
        emit Click();
        if (!self)
            return;
    }
    const QPointF pos = event->position();
    int b = button;
    int s = VirtualKeys::shiftState(event->modifiers());
    float tx = float(pos.x() * twipsPerPixelX());
    float ty = float(pos.y() * twipsPerPixelY());
    emit MouseUp(b, s, tx, ty);
}

void Command::mouseDoubleClickEvent(QMouseEvent *event)
{
    // Only a left double click counts as one; others are plain presses.
    if (event->button() != Qt::LeftButton) {
        mousePressEvent(event);
        return;
    }
    // Window systems deliver the second press before the double click; that press has
    // already raised MouseDown. Without it, the press is run here as a left press at (0, 0).
    if (!m_downSeen) {
        QPointer<Command> self(this);
        handlePress(1, 0, 0.0f, 0.0f);
        if (!self)
            return;
    }
    emit DblClick();
}

void Command::keyPressEvent(QKeyEvent *event)
{
    const int code = VirtualKeys::keyCode(event);
    if ((code == 32 || code == 13) && !m_mousePressed) {
        m_keyPressed = true;
        setVisualState(StatePressed);
    }
    int keyCode = code;
    int shift = VirtualKeys::shiftState(event->modifiers());
    QPointer<Command> self(this);
    emit KeyDown(keyCode, shift);
    if (!self)
        return;
    int ascii = VirtualKeys::keyAscii(event);
    if (ascii != 0) {
        emit KeyPress(ascii);
        if (!self)
            return;
    }
    // Escape goes on to the container so dialogs can still be cancelled with it.
    if (event->key() == Qt::Key_Escape)
        event->ignore();
    else
        event->accept();
}

void Command::keyReleaseEvent(QKeyEvent *event)
{
    if (event->isAutoRepeat()) {
        event->accept();
        return;
    }
    const int code = VirtualKeys::keyCode(event);
    if (code == 32 || code == 13) {
        m_keyPressed = false;
        setVisualState(StateOut);
    }
    int keyCode = code;
    int shift = VirtualKeys::shiftState(event->modifiers());
    QPointer<Command> self(this);
    emit KeyUp(keyCode, shift);
    if (!self)
        return;
    if (event->key() == Qt::Key_Escape)
        event->ignore();
    else
        event->accept();
}
