#pragma once

#include "settings/SettingsValues.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QTimeEdit;

// The settings dialog's "Schedule" tab: the daily start of a new play
// period, and for each weekday its own limit and the hours play is allowed.
class ScheduleTab : public QWidget
{
    Q_OBJECT

public:
    explicit ScheduleTab(QWidget *parent = nullptr);

    void Fill(const SettingsValues &values);
    // Writes the schedule the controls show into values.
    void Collect(SettingsValues &values) const;
    // The first weekday whose hours end before they begin ("" when none).
    QString InvalidDay() const;

    // "As every day", "No limit", then the minutes in five-minute steps.
    static QStringList LimitItems();

private:
    QString hoursOf(int day) const;
    void enableRows();

    QCheckBox *m_dailyOn = nullptr;
    QTimeEdit *m_dailyStart = nullptr;
    QComboBox *m_limit[7] = {};
    QCheckBox *m_hoursOn[7] = {};
    QTimeEdit *m_from[7] = {};
    QTimeEdit *m_to[7] = {};
};
