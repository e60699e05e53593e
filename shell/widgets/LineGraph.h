#pragma once

#include <QColor>
#include <QList>
#include <QWidget>

// A scrolling line graph of values from 0 to a maximum: the newest value is
// drawn at the right edge and older ones move left, one step per value, until
// they scroll out.
class LineGraph : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QColor BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(QColor LineColor READ LineColor WRITE setLineColor)
    Q_PROPERTY(double Maximum READ Maximum WRITE setMaximum)
    Q_PROPERTY(int Step READ Step WRITE setStep)

public:
    explicit LineGraph(QWidget *parent = nullptr);

    QColor BackColor() const { return m_backColor; }
    void setBackColor(const QColor &color);
    QColor LineColor() const { return m_lineColor; }
    void setLineColor(const QColor &color);
    double Maximum() const { return m_maximum; }
    void setMaximum(double maximum);
    // Pixels between two values.
    int Step() const { return m_step; }
    void setStep(int pixels);

    // Adds the newest value, kept within 0 and the maximum.
    void AddValue(double value);
    // The values still on view, oldest first.
    QList<double> Values() const { return m_values; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    int capacity() const;
    void trim();

    QColor m_backColor = Qt::black;
    QColor m_lineColor = Qt::green;
    double m_maximum = 100;
    int m_step = 3;
    QList<double> m_values;
};
