#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

// One panel of the information bar: a line of text centred both ways and,
// when asked, a bar from the left edge that shows the text it covers in the
// inverse colours.
class StatusPanel : public QWidget
{
    Q_OBJECT

public:
    explicit StatusPanel(const char *name, QWidget *parent);

    void setColors(const QColor &back, const QColor &text);
    // Replaces the panel's content; barPercent < 0 draws no bar.
    void Print(const QString &text, int barPercent = -1);
    QString Text() const { return m_text; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_back;
    QColor m_textColor;
    QString m_text;
    int m_barPercent = -1;
};
