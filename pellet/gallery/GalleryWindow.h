#pragma once

#include <QWidget>

class Command;
class QGridLayout;

// One window with the Command control in all its looks, for a person to judge.
class GalleryWindow : public QWidget
{
    Q_OBJECT

public:
    explicit GalleryWindow(QWidget *parent = nullptr);

    // Puts the buttons that show the over, pressed and focused looks into those states.
    // Moving the real pointer across them afterwards changes them as usual.
    void showForcedStates();

private:
    QWidget *alignmentSection();
    QWidget *builtInSection();
    QWidget *transparentSection();
    QWidget *disabledSection();
    QWidget *bevelSection();
    QWidget *edgeSection();

    Command *makeButton(QWidget *parent, const QString &caption, int w, int h);

    QList<Command *> m_over;
    QList<Command *> m_pressed;
    Command *m_focused = nullptr;
};
