#pragma once

#include <QDateTime>
#include <QString>

#include <functional>
#include <optional>

// The rules of a family's day, from the store section "TimeLimit": a limit
// for each weekday ("PlayTimeMon" .. "PlayTimeSun", five-minute steps as
// "PlayTime"; missing: "PlayTime" applies; "0": no limit that day), the
// allowed hours of each weekday ("HoursMon" .. "HoursSun" = "HH:MM-HH:MM",
// missing: the whole day) and the daily start of a new play period
// ("DailyStart" = "HH:MM", missing or empty: off). Text that is not of this
// form counts as a missing key. Only values: the play clock decides what
// they mean for the child.
class DayRules
{
public:
    // The allowed hours of one day; an end at midnight is written "24:00".
    struct Hours
    {
        int startMinute = 0; // minutes after midnight
        int endMinute = 24 * 60;
        QString text() const; // "HH:MM-HH:MM"
    };

    // The rules as the texts of these keys give them; each is read when a
    // question needs it.
    explicit DayRules(std::function<QString(const QString &key)> value);
    // The store's rules, through TimeLimitStore (the install's values behind
    // it). readable, which must outlive the rules, turns false when the store
    // cannot be read.
    static DayRules FromStore(bool *readable = nullptr);

    // The keys of a weekday (Qt::Monday .. Qt::Sunday).
    static QString LimitKey(int dayOfWeek);
    static QString HoursKey(int dayOfWeek);
    static const QString DailyStartKey;
    // The countdown notice: "0" switches it off, anything else (or nothing) leaves it on.
    static const QString CountdownKey;

    // "HH:MM" (00:00 .. 23:59), "HH:MM-HH:MM" (the end after the start, up to
    // 24:00) and a number of five-minute steps (0 .. 288); no value for text
    // of another form.
    static std::optional<int> ParseTime(const QString &text);
    static std::optional<Hours> ParseHours(const QString &text);
    static std::optional<int> ParseSteps(const QString &text);

    // The limit of that day in seconds; no value when "PlayTime" applies.
    std::optional<qint64> DayLimitSeconds(QDate day) const;
    // The allowed hours of that day; no value for the whole day.
    std::optional<Hours> DayHours(QDate day) const;
    std::optional<int> DailyStartMinute() const;

    // The most recent daily start at or before the moment; no value when off.
    std::optional<QDateTime> LastDailyStart(const QDateTime &at) const;
    // The first daily start after the moment; no value when off.
    std::optional<QDateTime> NextDailyStart(const QDateTime &at) const;
    // Whole seconds from the moment to the end of the allowed hours it lies
    // in (0 outside them); no value when the hours run on for a week.
    std::optional<qint64> SecondsToClose(const QDateTime &at) const;
    // The end of the allowed hours that are open at the moment or open next;
    // no value when none ends within a week.
    std::optional<QDateTime> NextClose(const QDateTime &at) const;

private:
    Hours hoursOf(QDate day) const;
    std::optional<QDateTime> closeFrom(QDate day) const;

    std::function<QString(const QString &key)> m_value;
};
