#pragma once

#include <QObject>
#include <QTimer>

// Sounds a pattern once per tick, steered only through the store section
// "Beeper" of application "Brindle", which it looks at again on every tick. It ends
// by itself once no shell of its program folder runs any more.
class Beeper : public QObject
{
    Q_OBJECT
public:
    explicit Beeper(const QString &programFolder, QObject *parent = nullptr);

    // Marks the beeper as running and lets the ticks begin.
    void start();
    // Marks it as no longer running and ends the event loop; once only.
    void finish();

    // A whole number of the section; a missing or non-numeric text gives fallback.
    static int readWhole(const QString &key, int fallback);

    static constexpr int FirstInterval = 500;
    static constexpr int MinInterval = 50;     // 0 or less would spin the processor
    static constexpr int MaxInterval = 60000;  // and a huge one would never see "Quit"

private:
    void tick();
    void playPattern(int type);

    QString m_programFolder;
    QTimer m_timer;
    bool m_toggle = false;
    bool m_finished = false;
};
