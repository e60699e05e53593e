#include "FormatSeconds.h"

#include <cmath>

QString FormatSeconds(double s)
{
    if (!(s >= 0.01) || !std::isfinite(s))
        return QStringLiteral("00:00:00");
    const double h = std::ceil(s / 3600.0 - 1.0);
    const double m = std::ceil(s / 60.0 - 1.0) - 60.0 * h;
    const double sec = std::ceil(s - 1.0) - (60.0 * m + 3600.0 * h);
    auto two = [](double v) { return QString::number(qint64(v)).rightJustified(2, QLatin1Char('0')); };
    return two(h) + QLatin1Char(':') + two(m) + QLatin1Char(':') + two(sec);
}
