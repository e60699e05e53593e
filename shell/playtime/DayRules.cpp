#include "playtime/DayRules.h"

#include "base/TimeLimitStore.h"

#include <QRegularExpression>

namespace {

const char *const DayNames[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
constexpr int MinutesPerDay = 24 * 60;
constexpr int MaxSteps = MinutesPerDay / 5;
// Allowed hours that run on for longer than this have no end worth counting to.
constexpr int DaysLookedAhead = 8;

QString hhmm(int minute)
{
    return QStringLiteral("%1:%2").arg(minute / 60, 2, 10, QLatin1Char('0')).arg(minute % 60, 2, 10, QLatin1Char('0'));
}

QDateTime at(QDate day, int minute)
{
    return QDateTime(day, QTime(0, 0)).addSecs(qint64(minute) * 60);
}

} // namespace

const QString DayRules::DailyStartKey = QStringLiteral("DailyStart");
const QString DayRules::CountdownKey = QStringLiteral("Countdown");

QString DayRules::Hours::text() const
{
    return hhmm(startMinute) + QLatin1Char('-') + hhmm(endMinute);
}

DayRules::DayRules(std::function<QString(const QString &key)> value)
    : m_value(std::move(value))
{
}

DayRules DayRules::FromStore(bool *readable)
{
    return DayRules([readable](const QString &key) {
        bool ok = true;
        const QString text = TimeLimitStore::Get(key, QString(), &ok);
        if (readable && !ok)
            *readable = false;
        return text;
    });
}

QString DayRules::LimitKey(int dayOfWeek)
{
    return QStringLiteral("PlayTime") + QLatin1String(DayNames[(dayOfWeek + 6) % 7]);
}

QString DayRules::HoursKey(int dayOfWeek)
{
    return QStringLiteral("Hours") + QLatin1String(DayNames[(dayOfWeek + 6) % 7]);
}

std::optional<int> DayRules::ParseTime(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^([01][0-9]|2[0-3]):([0-5][0-9])$"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    return match.captured(1).toInt() * 60 + match.captured(2).toInt();
}

std::optional<DayRules::Hours> DayRules::ParseHours(const QString &text)
{
    const qsizetype dash = text.indexOf(QLatin1Char('-'));
    if (dash < 0)
        return std::nullopt;
    const std::optional<int> start = ParseTime(text.left(dash));
    const QString endText = text.mid(dash + 1);
    const std::optional<int> end = endText == QLatin1String("24:00") ? MinutesPerDay : ParseTime(endText);
    if (!start || !end || *end <= *start)
        return std::nullopt;
    return Hours{*start, *end};
}

std::optional<int> DayRules::ParseSteps(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^[0-9]{1,3}$"));
    if (!form.match(text).hasMatch() || text.toInt() > MaxSteps)
        return std::nullopt;
    return text.toInt();
}

std::optional<qint64> DayRules::DayLimitSeconds(QDate day) const
{
    const std::optional<int> steps = ParseSteps(m_value(LimitKey(day.dayOfWeek())));
    if (!steps)
        return std::nullopt;
    return qint64(*steps) * 5 * 60;
}

std::optional<DayRules::Hours> DayRules::DayHours(QDate day) const
{
    return ParseHours(m_value(HoursKey(day.dayOfWeek())));
}

DayRules::Hours DayRules::hoursOf(QDate day) const
{
    return DayHours(day).value_or(Hours{});
}

std::optional<int> DayRules::DailyStartMinute() const
{
    return ParseTime(m_value(DailyStartKey));
}

std::optional<QDateTime> DayRules::LastDailyStart(const QDateTime &moment) const
{
    const std::optional<int> start = DailyStartMinute();
    if (!start)
        return std::nullopt;
    const QDateTime today = at(moment.date(), *start);
    return today <= moment ? today : at(moment.date().addDays(-1), *start);
}

std::optional<QDateTime> DayRules::NextDailyStart(const QDateTime &moment) const
{
    const std::optional<int> start = DailyStartMinute();
    if (!start)
        return std::nullopt;
    const QDateTime today = at(moment.date(), *start);
    return today > moment ? today : at(moment.date().addDays(1), *start);
}

// The end of the allowed hours of that day, followed on through the days
// whose hours begin at midnight right after it.
std::optional<QDateTime> DayRules::closeFrom(QDate day) const
{
    for (int i = 0; i < DaysLookedAhead; ++i, day = day.addDays(1)) {
        const int end = hoursOf(day).endMinute;
        if (end < MinutesPerDay || hoursOf(day.addDays(1)).startMinute > 0)
            return at(day, end);
    }
    return std::nullopt;
}

std::optional<qint64> DayRules::SecondsToClose(const QDateTime &moment) const
{
    const QDate day = moment.date();
    const Hours hours = hoursOf(day);
    if (moment < at(day, hours.startMinute) || moment >= at(day, hours.endMinute))
        return 0;
    const std::optional<QDateTime> close = closeFrom(day);
    if (!close)
        return std::nullopt;
    return moment.secsTo(*close);
}

std::optional<QDateTime> DayRules::NextClose(const QDateTime &moment) const
{
    QDate day = moment.date();
    const Hours today = hoursOf(day);
    if (moment >= at(day, today.endMinute))
        day = day.addDays(1);
    return closeFrom(day);
}
