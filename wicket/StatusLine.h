#pragma once

#include <QFrame>

class QProgressBar;

// The status line along the bottom of the browser window: the browser's
// status text on the left, cut short with "..." when it does not fit, and the
// small loading progress box at the right end.
class StatusLine : public QFrame
{
    Q_OBJECT

public:
    explicit StatusLine(QWidget *parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString &text);

    // Percent loaded; 100 (done) or less than 0 clears the box.
    void setProgress(int percent);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QRect textRect() const;

    QString m_text;
    QProgressBar *m_progress;
};
