#include "EditGestures.h"

#include "EditMenus.h"
#include "MenuButtons.h"
#include "MenuEditor.h"
#include "MenuLayout.h"
#include "base/modGlobals.h"

#include <Command.h>
#include <VbNumber.h>

#include <QAction>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <cstdlib>

using modGlobals::SS;

namespace {

int whole(double value)
{
    return int(VbNumber::RoundHalfEven(value));
}

int shiftState(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0)
           | (modifiers & Qt::AltModifier ? 4 : 0);
}

int buttonBits(Qt::MouseButtons buttons)
{
    return (buttons & Qt::LeftButton ? 1 : 0) | (buttons & Qt::RightButton ? 2 : 0)
           | (buttons & Qt::MiddleButton ? 4 : 0);
}

// The key codes of the form's own edit keys.
int keyCode(const QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_A: return 65;
    case Qt::Key_N: return 78;
    case Qt::Key_Delete: return 46;
    default: return 0;
    }
}

enum Arrow { ArrowLeft = 37, ArrowUp = 38, ArrowRight = 39, ArrowDown = 40 };

// The rubber band: a dotted frame over the menu, black on white so that it
// shows on any background. Only the frame belongs to the widget, so moving
// it repaints no more than the frame's pixels.
class BandFrame : public QWidget
{
public:
    explicit BandFrame(QWidget *form)
        : QWidget(form)
    {
        setObjectName(QStringLiteral("RubberBand"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        hide();
    }

protected:
    void resizeEvent(QResizeEvent *) override
    {
        setMask(QRegion(rect()) - QRegion(rect().adjusted(1, 1, -1, -1)));
    }
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        const QRect frame = rect().adjusted(0, 0, -1, -1);
        painter.setPen(Qt::white);
        painter.drawRect(frame);
        painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
        painter.drawRect(frame);
    }
};

} // namespace

EditGestures::EditGestures(QWidget *form, MenuButtons *buttons, MenuEditor *editor, QTimer *dblClickDelay)
    : QObject(form)
    , m_form(form)
    , m_buttons(buttons)
    , m_editor(editor)
    , m_dblClickDelay(dblClickDelay)
    , m_sizeToDrag(editor->Menus()->item(QStringLiteral("mnuSizeToDrag")))
    , m_band(new BandFrame(form))
{
    setObjectName(QStringLiteral("EditGestures"));
    connect(buttons, &MenuButtons::MouseDown, this, &EditGestures::Menu_MouseDown);
    connect(buttons, &MenuButtons::MouseMove, this, &EditGestures::Menu_MouseMove);
    connect(buttons, &MenuButtons::MouseUp, this, &EditGestures::Menu_MouseUp);
    connect(buttons, &MenuButtons::KeyDown, this, &EditGestures::Menu_KeyDown);
    connect(buttons, &MenuButtons::KeyUp, this, &EditGestures::Menu_KeyUp);
    connect(editor, &MenuEditor::editModeLeft, this, [this] {
        m_dragArmed = m_moved = m_resizing = m_bandActive = false;
        m_bandOwner = -1;
        endBand();
    });
    form->installEventFilter(this);
}

bool EditGestures::editMode() const
{
    return m_editor->EditMode();
}

Command *EditGestures::control(int index) const
{
    return index >= 0 && index <= SS.ButtonsMax ? m_buttons->Menu(index) : nullptr;
}

QPointF EditGestures::toPixels(const Command *c, float X, float Y) const
{
    return QPointF(X / c->twipsPerPixelX(), Y / c->twipsPerPixelY());
}

int EditGestures::GetSizeType(int index, float X, float Y) const
{
    const Command *c = control(index);
    if (!c)
        return Body;
    const int w = c->width();
    const int h = c->height();
    const QPointF p = toPixels(c, X, Y);
    const int x = whole(p.x());
    const int y = whole(p.y());
    // Buttons too small for strips have a corner or nothing.
    if (w > 5 && h < 5) {
        if (x > w - 5)
            return Corner;
    } else if (w < 5 && h > 5) {
        if (y > h - 5)
            return Corner;
    } else if (w < 6 && h < 6) {
        return Corner;
    }
    if (w < 5 || h < 5)
        return Body;
    if (w - 5 < x && x < w) {
        if (h - 5 < y && y < h)
            return Corner;
        return 0 < y && y < 5 ? Body : RightEdge;
    }
    if (0 < x && x < 5)
        return Body;
    if (5 < x && x < w - 5 && h - 5 < y && y < h)
        return BottomEdge;
    return Body;
}

int EditGestures::pointerFor(int index, float X, float Y) const
{
    if (m_editor->IsLocked(index))
        return 0;
    if (m_editor->IsMultiSelection())
        return m_editor->IsSelected(index) ? 15 : 0;
    switch (GetSizeType(index, X, Y)) {
    case RightEdge: return 9;
    case Corner: return 8;
    case BottomEdge: return 7;
    default: return 15;
    }
}

void EditGestures::Menu_MouseDown(int index, int &Button, int &Shift, float &X, float &Y, bool &CancelDownEffect)
{
    Command *c = control(index);
    if (!editMode() || Button != 1 || !c)
        return;
    CancelDownEffect = true;
    if (m_editor->IsLocked(index)) {
        // A locked button is part of the background: the press starts a band.
        m_bandOwner = index;
        const QPointF p = toPixels(c, X, Y);
        Form_MouseDown(1, Shift, QPoint(whole(c->x() + p.x()), whole(c->y() + p.y())));
        return;
    }
    const int pointer = pointerFor(index, X, Y);
    c->setMousePointer(pointer);
    m_pressed = index;
    if (pointer == 7 || pointer == 8 || pointer == 9) {
        m_resizing = true;
        m_resizePointer = pointer;
        m_resizeCursor = c->mapToGlobal(toPixels(c, X, Y)).toPoint();
        m_resizeSize = c->size();
        return;
    }
    // Ctrl held down before the button had the keyboard counts as well.
    if (m_ctrlHeld || (Shift & 2)) {
        m_editor->SetSelected(index, !m_editor->IsSelected(index));
    } else if (!m_editor->IsSelected(index)) {
        m_editor->ClearSelection();
        m_editor->SetSelected(index, true);
    }
    m_pressPoint = QPoint(whole(X), whole(Y));
    m_dragArmed = true;
}

void EditGestures::Menu_MouseMove(int index, int &Button, int &, float &X, float &Y)
{
    Command *c = control(index);
    if (!editMode() || !c)
        return;
    const QPointF p = toPixels(c, X, Y);
    if (m_bandOwner == index) {
        Form_MouseMove(Button, QPoint(whole(c->x() + p.x()), whole(c->y() + p.y())));
        return;
    }
    if (m_resizing) {
        if (index == m_pressed)
            resize(c->mapToGlobal(p).toPoint());
        return;
    }
    if (m_dblClickDelay && m_dblClickDelay->isActive())
        return;
    c->setMousePointer(pointerFor(index, X, Y));
    if ((Button & 1) && m_dragArmed && index == m_pressed)
        drag(index, X, Y);
}

void EditGestures::drag(int index, float X, float Y)
{
    if (std::abs(m_pressPoint.x() - X) <= 2 && std::abs(m_pressPoint.y() - Y) <= 2)
        return;
    m_moved = true;
    const Command *c = control(index);
    const double dx = (m_pressPoint.x() - X) / c->twipsPerPixelX();
    const double dy = (m_pressPoint.y() - Y) / c->twipsPerPixelY();
    QList<int> group = m_editor->SelectedButtons();
    group.removeOne(index);
    group.prepend(index);
    const int sw = m_form->width();
    const int sh = m_form->height();
    bool blockX = false;
    bool blockY = false;
    for (int i : group) {
        const QRect r = m_editor->ButtonRect(i);
        blockX = blockX || r.x() - dx < 0 || r.x() - dx + r.width() > sw;
        blockY = blockY || r.y() - dy < 0 || r.y() - dy + r.height() > sh;
    }
    if (blockX && blockY)
        return;
    for (int i : group) {
        const QRect r = m_editor->ButtonRect(i);
        m_editor->MoveButton(i, blockX ? r.x() : r.x() - dx, blockY ? r.y() : r.y() - dy);
    }
}

void EditGestures::resize(const QPoint &cursor)
{
    const QRect r = m_editor->ButtonRect(m_pressed);
    int width = r.width();
    int height = r.height();
    if (m_resizePointer == 9 || m_resizePointer == 8) {
        const int w = cursor.x() - m_resizeCursor.x() + m_resizeSize.width();
        if (w >= 3 && w <= m_form->width())
            width = w;
    }
    if (m_resizePointer == 7 || m_resizePointer == 8) {
        const int h = cursor.y() - m_resizeCursor.y() + m_resizeSize.height();
        if (h >= 3 && h <= m_form->height())
            height = h;
    }
    if (width != r.width() || height != r.height())
        m_editor->SizeButton(m_pressed, width, height);
}

void EditGestures::Menu_MouseUp(int index, int &Button, int &Shift, float &X, float &Y)
{
    Command *c = control(index);
    if (!c)
        return;
    const QPointF p = toPixels(c, X, Y);
    if (m_bandOwner == index) {
        m_bandOwner = -1;
        Form_MouseUp(Button, Shift, QPoint(whole(c->x() + p.x()), whole(c->y() + p.y())),
                     c->mapToGlobal(p).toPoint());
        return;
    }
    if (!editMode())
        return;
    if (Button == 2) {
        m_editor->ShowButtonMenu(index, c->mapToGlobal(p).toPoint());
        return;
    }
    if (Button != 1)
        return;
    m_sizeToDrag->setChecked(false);
    m_resizing = false;
    m_dragArmed = false;
    if (m_moved)
        drop(Shift);
}

void EditGestures::drop(int shift)
{
    m_moved = false;
    QList<int> group = m_editor->SelectedButtons();
    if (!group.contains(m_pressed))
        group.prepend(m_pressed);
    for (int i : group) {
        const QPoint inside = MenuLayout::KeptInside(m_editor->ButtonRect(i), m_form->size());
        m_editor->MoveButton(i, inside.x(), inside.y());
        // Shift keeps a position off the grid.
        if (shift != 1)
            m_editor->SnapButton(i, false);
        const QRect now = m_editor->ButtonRect(i);
        m_editor->SizeButton(i, now.width(), now.height());
    }
}

void EditGestures::Menu_KeyDown(int index, int &KeyCode, int &Shift)
{
    if (!editMode() || Form_KeyDown(KeyCode, Shift) || m_editor->IsLocked(index))
        return;
    if (KeyCode == 17 || Shift == 2)
        m_ctrlHeld = true;
    if (KeyCode < ArrowLeft || KeyCode > ArrowDown)
        return;
    if (Shift == 1)
        resizeKeys(KeyCode);
    else if (Shift == 2)
        moveKeys(KeyCode);
    else if (Shift == 0)
        PickNeighbour(index, KeyCode);
}

void EditGestures::Menu_KeyUp(int index, int &KeyCode, int &)
{
    if (KeyCode == 17 && !m_editor->IsLocked(index))
        m_ctrlHeld = false;
}

void EditGestures::resizeKeys(int keyCode)
{
    const int g = SS.GridSize;
    const bool snapping = SS.SnapToGrid == 1 && g >= 1;
    const int step = snapping ? g : 1;
    const bool horizontal = keyCode == ArrowLeft || keyCode == ArrowRight;
    const bool grow = keyCode == ArrowRight || keyCode == ArrowDown;
    const int limit = horizontal ? m_form->width() : m_form->height();
    for (int i : m_editor->SelectedButtons()) {
        const QRect r = m_editor->ButtonRect(i);
        int size = horizontal ? r.width() : r.height();
        if (grow) {
            if (snapping && size % g != 0)
                size = (size / g + 1) * g;
            // A height grows while one more pixel fits, a width while a whole step does.
            if (size + (horizontal ? step : 1) <= limit)
                size += step;
        } else {
            if (snapping && size % g != 0)
                size = size / g * g;
            if (size - step >= (SS.SnapToGrid == 1 ? g : 1))
                size -= step;
        }
        m_editor->SizeButton(i, horizontal ? size : r.width(), horizontal ? r.height() : size);
    }
}

void EditGestures::moveKeys(int keyCode)
{
    const int g = SS.GridSize;
    const bool snapping = SS.SnapToGrid == 1 && g >= 1;
    const bool horizontal = keyCode == ArrowLeft || keyCode == ArrowRight;
    const bool forward = keyCode == ArrowRight || keyCode == ArrowDown;
    const int limit = horizontal ? m_form->width() : m_form->height();
    const QList<int> selected = m_editor->SelectedButtons();
    auto pos = [this, horizontal](int i) { return horizontal ? m_editor->ButtonRect(i).x() : m_editor->ButtonRect(i).y(); };
    auto extent = [this, horizontal](int i) {
        return horizontal ? m_editor->ButtonRect(i).width() : m_editor->ButtonRect(i).height();
    };
    // The whole selection stays a grid step away from the edges.
    for (int i : selected)
        if (forward ? pos(i) + extent(i) >= limit - g : pos(i) <= g)
            return;
    for (int i : selected) {
        int p = pos(i);
        if (!snapping)
            p += forward ? 1 : -1;
        else if (forward)
            p += g - p % g;
        else
            p -= p % g == 0 ? g : p % g;
        const QRect r = m_editor->ButtonRect(i);
        m_editor->MoveButton(i, horizontal ? p : r.x(), horizontal ? r.y() : p);
    }
}

double EditGestures::FindDistance(int x1, int y1, int x2, int y2)
{
    return std::sqrt(double(x2 - x1) * (x2 - x1) + double(y2 - y1) * (y2 - y1));
}

void EditGestures::PickNeighbour(int index, int direction)
{
    const QRect f = m_editor->ButtonRect(index);
    if (f.isNull())
        return;
    int winner = -1;
    double best = 0;
    for (int i : m_editor->Buttons()) {
        if (i == index)
            continue;
        const QRect c = m_editor->ButtonRect(i);
        double distance = -1;
        switch (direction) {
        case ArrowLeft:
            if (c.x() < f.x())
                distance = FindDistance(c.x() + c.width(), c.y(), f.x(), f.y());
            break;
        case ArrowRight:
            if (c.x() + c.width() > f.x() + f.width())
                distance = FindDistance(c.x(), c.y(), f.x() + f.width(), f.y());
            break;
        case ArrowUp:
            if (c.y() < f.y())
                distance = FindDistance(whole(c.x() + c.width() / 2.0), c.y() + c.height(),
                                        whole(f.x() + f.width() / 2.0), f.y());
            break;
        case ArrowDown:
            if (c.y() > f.y())
                distance = FindDistance(whole(c.x() + c.width() / 2.0), c.y(),
                                        whole(f.x() + f.width() / 2.0), f.y() + f.height());
            break;
        default:
            return;
        }
        if (distance >= 0 && distance < m_form->width() && (winner < 0 || distance < best)) {
            winner = i;
            best = distance;
        }
    }
    if (winner < 0)
        return;
    m_editor->ClearSelection();
    m_editor->SetSelected(winner, true);
    control(winner)->setFocus(Qt::OtherFocusReason);
}

void EditGestures::SelectAllObjects(bool includeLocked)
{
    for (int i : m_editor->Buttons())
        if (includeLocked || !m_editor->IsLocked(i))
            m_editor->SetSelected(i, true);
}

bool EditGestures::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_form)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        const auto *e = static_cast<QMouseEvent *>(event);
        Form_MouseDown(buttonBits(e->button()), shiftState(e->modifiers()), e->position().toPoint());
        return false;
    }
    case QEvent::MouseMove: {
        const auto *e = static_cast<QMouseEvent *>(event);
        Form_MouseMove(buttonBits(e->buttons()), e->position().toPoint());
        return false;
    }
    case QEvent::MouseButtonRelease: {
        const auto *e = static_cast<QMouseEvent *>(event);
        Form_MouseUp(buttonBits(e->button()), shiftState(e->modifiers()), e->position().toPoint(),
                     e->globalPosition().toPoint());
        return true;
    }
    case QEvent::KeyPress: {
        const auto *e = static_cast<QKeyEvent *>(event);
        return Form_KeyDown(keyCode(e), shiftState(e->modifiers()));
    }
    default:
        return false;
    }
}

void EditGestures::Form_MouseDown(int button, int shift, const QPoint &at)
{
    if (!editMode() || button != 1) {
        m_sizeToDrag->setChecked(false);
        return;
    }
    m_bandActive = true;
    m_bandStart = at;
    if (shift != 2)
        m_editor->ClearSelection();
}

void EditGestures::Form_MouseMove(int buttons, const QPoint &at)
{
    if (!(buttons & 1) || !m_bandActive)
        return;
    if (std::abs(m_bandStart.x() - at.x()) <= 2 || std::abs(m_bandStart.y() - at.y()) <= 2)
        return;
    m_bandRect = QRect(m_bandStart, at).normalized();
    m_band->setGeometry(m_bandRect);
    m_band->raise();
    m_band->show();
    m_bandDrawn = true;
}

void EditGestures::Form_MouseUp(int button, int shift, const QPoint &at, const QPoint &screen)
{
    if (button == 2) {
        endBand();
        m_editor->ShowBackgroundMenu(at, screen);
        return;
    }
    if (button != 1)
        return;
    if (editMode() && m_sizeToDrag->isChecked() && m_bandStart.x() >= 0) {
        sizeToDrag(at);
    } else if (editMode() && m_bandActive && m_bandDrawn) {
        const int left = std::min(m_bandStart.x(), at.x());
        const int top = std::min(m_bandStart.y(), at.y());
        const int right = std::max(m_bandStart.x(), at.x());
        const int bottom = std::max(m_bandStart.y(), at.y());
        for (int i : m_editor->Buttons()) {
            const QRect r = m_editor->ButtonRect(i);
            const bool meets = std::max(left, r.x()) < std::min(right, r.x() + r.width())
                               && std::max(top, r.y()) < std::min(bottom, r.y() + r.height());
            // Shift alone takes locked buttons in too.
            if (meets && (!m_editor->IsLocked(i) || shift == 1))
                m_editor->SetSelected(i, true);
        }
    }
    m_bandActive = false;
    endBand();
}

void EditGestures::sizeToDrag(const QPoint &at)
{
    const int current = m_editor->CurrentButton();
    m_editor->MoveButton(current, std::min(m_bandStart.x(), at.x()), std::min(m_bandStart.y(), at.y()));
    m_editor->SizeButton(current, std::max(std::abs(m_bandStart.x() - at.x()), 10),
                         std::max(std::abs(m_bandStart.y() - at.y()), 10));
    m_sizeToDrag->setChecked(false);
    endBand();
    m_buttons->LoadButtons(-1);
}

void EditGestures::endBand()
{
    m_band->hide();
    m_bandStart = QPoint(-1, -1);
    m_bandDrawn = false;
    m_bandRect = QRect();
}

bool EditGestures::Form_KeyDown(int keyCode, int shift)
{
    if (!editMode())
        return false;
    if (keyCode == 65 && (shift == 2 || shift == 3)) {
        SelectAllObjects(shift == 3);
        return true;
    }
    if (keyCode == 78 && (shift == 2 || shift == 3)) {
        m_editor->NewButton();
        return true;
    }
    if (keyCode == 46 && shift != 2 && shift != 3) {
        m_editor->RemoveSelectedButtons();
        return true;
    }
    return false;
}
