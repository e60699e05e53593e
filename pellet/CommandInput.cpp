// Command's answers to the window system: resize, focus, mouse and keys.

#include "Command.h"
#include "VirtualKeys.h"

#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>

void Command::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    requestPaint();
}

void Command::changeEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::EnabledChange:
        // Also sent when the container is enabled or disabled; only our own state is
        // a property write.
        if (Enabled() != m_ownEnabled) {
            m_ownEnabled = Enabled();
            if (!m_readingProperties)
                emit PropertyChanged(QStringLiteral("Enabled"));
        }
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
    // The host may rewrite Button; the pressed look follows the button really pressed.
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
