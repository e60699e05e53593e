#include "VbNumber.h"

#include <cmath>
#include <limits>

namespace VbNumber {

double Val(const QString &text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text.at(i) == QLatin1Char(' ') || text.at(i) == QLatin1Char('\t')))
        ++i;
    QString number;
    if (i < n && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+')))
        number += text.at(i++);
    bool digits = false;
    while (i < n && text.at(i).isDigit() && text.at(i).unicode() < 128) {
        number += text.at(i++);
        digits = true;
    }
    if (i < n && text.at(i) == QLatin1Char('.')) {
        number += text.at(i++);
        while (i < n && text.at(i).isDigit() && text.at(i).unicode() < 128) {
            number += text.at(i++);
            digits = true;
        }
    }
    if (!digits)
        return 0.0;
    bool ok = false;
    const double v = number.toDouble(&ok);
    return ok && std::isfinite(v) ? v : 0.0;
}

qint64 RoundHalfEven(double value)
{
    if (!std::isfinite(value))
        return 0;
    return static_cast<qint64>(std::nearbyint(value)); // default FE_TONEAREST
}

qint32 ValInt(const QString &text)
{
    const double v = Val(text);
    if (v >= double(std::numeric_limits<qint32>::max()))
        return std::numeric_limits<qint32>::max();
    if (v <= double(std::numeric_limits<qint32>::min()))
        return std::numeric_limits<qint32>::min();
    return static_cast<qint32>(RoundHalfEven(v));
}

} // namespace VbNumber
