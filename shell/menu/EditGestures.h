#pragma once

#include <QObject>
#include <QPoint>
#include <QRect>

class Command;
class MenuButtons;
class MenuEditor;
class QAction;
class QTimer;
class QWidget;

// Editing the menu directly in edit mode: hit zones and pointer shapes of a
// button, dragging the selection, resizing with the mouse, dropping with
// clamping and snapping, the rubber band on the background, size to
// drag-selection, and the keys of the buttons and of the form.
class EditGestures : public QObject
{
    Q_OBJECT

public:
    // Hit zones of GetSizeType: the right strip, the bottom-right corner, the
    // bottom strip, and the rest of a button.
    enum Zone { RightEdge = 0, Corner = 2, BottomEdge = 7, Body = 8 };

    // dblClickDelay is the form's DBLCLICKDELAY: while it runs, pointer moves
    // over buttons are ignored.
    EditGestures(QWidget *form, MenuButtons *buttons, MenuEditor *editor, QTimer *dblClickDelay);

    // The zone of a pointer position (twips) on button index.
    int GetSizeType(int index, float X, float Y) const;
    void SelectAllObjects(bool includeLocked);
    // Selects and focuses the nearest button from button index in the
    // direction of an arrow key code (37 Left, 38 Up, 39 Right, 40 Down).
    void PickNeighbour(int index, int direction);
    static double FindDistance(int x1, int y1, int x2, int y2);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool editMode() const;
    Command *control(int index) const;
    QPointF toPixels(const Command *c, float X, float Y) const;
    int pointerFor(int index, float X, float Y) const;

    void Menu_MouseDown(int index, int &Button, int &Shift, float &X, float &Y, bool &CancelDownEffect);
    void Menu_MouseMove(int index, int &Button, int &Shift, float &X, float &Y);
    void Menu_MouseUp(int index, int &Button, int &Shift, float &X, float &Y);
    void Menu_KeyDown(int index, int &KeyCode, int &Shift);
    void Menu_KeyUp(int index, int &KeyCode, int &Shift);
    void drag(int index, float X, float Y);
    void resize(const QPoint &cursor);
    void drop(int shift);

    void Form_MouseDown(int button, int shift, const QPoint &at);
    void Form_MouseMove(int buttons, const QPoint &at);
    void Form_MouseUp(int button, int shift, const QPoint &at, const QPoint &screen);
    bool Form_KeyDown(int keyCode, int shift);
    void sizeToDrag(const QPoint &at);
    void endBand();
    void resizeKeys(int keyCode);
    void moveKeys(int keyCode);

    QWidget *m_form;
    MenuButtons *m_buttons;
    MenuEditor *m_editor;
    QTimer *m_dblClickDelay;
    QAction *m_sizeToDrag;
    QWidget *m_band; // the dotted rectangle over the menu

    // The pointer gesture on a button.
    int m_pressed = -1;
    QPoint m_pressPoint; // twips inside the pressed button
    bool m_dragArmed = false;
    bool m_moved = false;
    bool m_resizing = false;
    int m_resizePointer = 0;
    QPoint m_resizeCursor; // screen position at the press
    QSize m_resizeSize;
    bool m_ctrlHeld = false;
    // A press on a locked button hands the gesture to the background.
    int m_bandOwner = -1;

    // The rubber band on the background.
    QPoint m_bandStart{-1, -1};
    bool m_bandActive = false;
    bool m_bandDrawn = false;
    QRect m_bandRect;
};
