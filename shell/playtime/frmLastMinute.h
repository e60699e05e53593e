#pragma once

#include <QWidget>

class QLabel;

// The corner counter: the seconds of play left while the last minute runs,
// small, in the top right corner above every window, taking no input.
class frmLastMinute : public QWidget
{
    Q_OBJECT

public:
    explicit frmLastMinute(QWidget *parent = nullptr);

    // 60 .. 0 shows them; -1 hides the counter.
    void ShowSeconds(qint64 seconds);

private:
    QLabel *m_seconds = nullptr;
};
