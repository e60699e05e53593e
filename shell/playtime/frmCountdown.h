#pragma once

#include <QWidget>

class QLabel;
class QTimer;

// The countdown notice: big friendly text with the play time left, for a few
// seconds, above every window (a full-screen game too). It takes neither the
// keyboard nor a click, so a game goes on underneath.
class frmCountdown : public QWidget
{
    Q_OBJECT

public:
    explicit frmCountdown(QWidget *parent = nullptr);

    // Shows the notice for seconds of play left, or shows it again with them.
    void ShowNotice(qint64 seconds);
    // "5 minutes left", "1 minute left", "30 seconds left".
    static QString NoticeText(qint64 seconds);

    static constexpr int ShowMs = 6000;

private:
    QLabel *m_text = nullptr;
    QLabel *m_hint = nullptr;
    QTimer *m_hideTimer = nullptr;
};
