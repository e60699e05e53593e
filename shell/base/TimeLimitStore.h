#pragma once

#include <QString>

// The settings store's section "TimeLimit" with the install's values behind
// it. A child who deletes, empties or breaks the store falls back to the
// play-time values the parent gave at install (parent.ini), never to "no
// limit". The run's own state ("LastInit", "TimeLeft", "PeriodStart",
// "ExtraTime", "Locked") is never taken from the install: a deleted store must
// not hand out a fresh period.
namespace TimeLimitStore {

// The store's value of the key; when the store does not hold it or cannot be
// read (readable, when given, then turns false), the install's; else the
// default.
QString Get(const QString &key, const QString &defaultValue = QString(), bool *readable = nullptr);

// The store can be read and holds the key itself.
bool Holds(const QString &key);

} // namespace TimeLimitStore
