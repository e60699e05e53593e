#pragma once

#include <QDateTime>

// The wall clock of the suite. Tests can fix it or move it, so that time
// based behaviour runs without real waiting.
namespace Clock {

QDateTime now();
void setNow(const QDateTime &fixed); // freezes the clock at this moment
void advance(qint64 seconds);        // moves a frozen clock on
// A suspend of a frozen clock: the wall clock moves on, the steady clock
// does not, as on a PC that sleeps.
void suspend(qint64 seconds);
void reset();                        // back to the real clock

// Seconds since local midnight, with fractions.
double secondsSinceMidnight();

// Milliseconds of a clock that only ever runs forward, whatever happens to the
// wall clock. A fixed test clock moves it as it moves the wall clock.
qint64 steadyMs();

} // namespace Clock
