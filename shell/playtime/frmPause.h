#pragma once

#include <QImage>
#include <QWidget>

#include <optional>

class QLabel;
class QTimer;

// "Paused": covers the whole screen, above every other window, while the play
// clock stands still, and takes the keyboard and the pointer so that nothing
// is played meanwhile. A click resumes; keys reach the play clock through the
// typing monitor. Should another program hold the input, the pause ends:
// the clock must not stand still while play goes on.
class frmPause : public QWidget
{
    Q_OBJECT

public:
    explicit frmPause(QWidget *parent = nullptr);
    ~frmPause() override;

    // Shows the screen on the menu's background, with the time left when
    // there is a limit, and takes the input.
    void Cover(std::optional<qint64> secondsLeft, const QImage &background);
    // Gives the input back and goes.
    void Uncover();

signals:
    void resumeRequested();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void takeInput();

    QLabel *lblPaused = nullptr;
    QLabel *lblTimeLeft = nullptr;
    QLabel *lblHint = nullptr;
    // Tries again to take the input while another program holds it.
    QTimer *InputTimer = nullptr;

    QImage m_background;
    int m_tries = 0;
};
