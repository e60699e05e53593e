#include "Clock.h"

#include <QElapsedTimer>

#include <optional>

namespace {
std::optional<QDateTime> g_fixed;
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

void reset()
{
    g_fixed.reset();
}

qint64 steadyMs()
{
    if (g_fixed)
        return g_fixed->toMSecsSinceEpoch();
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
