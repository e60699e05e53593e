#pragma once

#include "data/SettingsRecord.h"

#include <QWidget>

class Command;
class LineGraph;
class QLabel;
class QListWidget;
class StatusPanel;
class SystemSource;

// The information bar along the bottom edge of the menu: the clock with its
// blinking separator (picClock), the memory load over a bar (picMemProc), and
// the info panel (picInfo) with the processor graph CPU, the number of open
// applications and the Proc button that opens the application menu. Mouse
// events that the bar does not use reach the menu form beneath it.
class StatusBar : public QWidget
{
    Q_OBJECT

public:
    StatusBar(SystemSource &system, QWidget *form);

    // Colours and what is shown, from the settings.
    void ApplySettings(const SettingsRecord &settings);
    // Lays the bar along the bottom edge of area.
    void PlaceIn(const QRect &area);

    // One ClockTimer tick: the clock every time; the memory load, the
    // application count and the newest processor load every other time.
    void ClockTimer_Timer(qint32 processorLoad);

    // "MMM DD, YYYY HH:MM" with every word capitalised, the separator and the seconds.
    static QString ClockText(const QDateTime &time, const QString &separator);

signals:
    void ProcClick();

private:
    int openApplications() const;

    SystemSource &m_system;
    StatusPanel *m_picClock = nullptr;
    StatusPanel *m_picMemProc = nullptr;
    QWidget *m_picInfo = nullptr;
    QLabel *m_lbCpuUsage = nullptr;
    LineGraph *m_cpu = nullptr;
    QLabel *m_lbApps = nullptr;
    Command *m_proc = nullptr;
    QListWidget *m_lstTasks = nullptr;
    QString m_separator = QStringLiteral(".");
    bool m_secondTick = true;
};
