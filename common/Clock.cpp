#include "Clock.h"

#include <QElapsedTimer>

#include <optional>

namespace {
std::optional<QDateTime> g_fixed;
qint64 g_sleptMs = 0; // of a frozen clock: the wall clock ran on, the steady one did not
}

namespace Clock {

QDateTime now()
{
    return g_fixed ? *g_fixed : QDateTime::currentDateTime();
}

void setNow(const QDateTime &fixed)
{
    g_fixed = fixed;
}

void advance(qint64 seconds)
{
    g_fixed = now().addSecs(seconds);
}

void suspend(qint64 seconds)
{
    advance(seconds);
    g_sleptMs += seconds * 1000;
}

void reset()
{
    g_fixed.reset();
    g_sleptMs = 0;
}

qint64 steadyMs()
{
    if (g_fixed)
        return g_fixed->toMSecsSinceEpoch() - g_sleptMs;
    static QElapsedTimer sinceStart = [] {
        QElapsedTimer timer;
        timer.start();
        return timer;
    }();
    return sinceStart.elapsed();
}

double secondsSinceMidnight()
{
    const QTime t = now().time();
    return t.msecsSinceStartOfDay() / 1000.0;
}

} // namespace Clock
