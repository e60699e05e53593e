#pragma once

#include <QFrame>
#include <QPoint>

// One colour box of the settings dialog: shows its colour with the word
// "Right-click" centred in the inverse colour. A click (either button) asks
// for a new colour; dragging it onto another box copies the colour there.
class ColorBox : public QFrame
{
    Q_OBJECT

public:
    explicit ColorBox(QWidget *parent = nullptr);

    // The stored colour value (0x00BBGGRR or a system colour).
    quint32 Color() const { return m_color; }
    void setColor(quint32 value);

    // The colour the caption is written in: red, green and blue each 255 minus the box's.
    static QColor Inverse(const QColor &color);

signals:
    void clicked();
    // The colour was changed by a drop from another box.
    void colorDropped();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    quint32 m_color = 0;
    QPoint m_pressAt;
    bool m_pressed = false;
};
