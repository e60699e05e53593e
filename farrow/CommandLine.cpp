#include "CommandLine.h"

#include <QStringList>

CommandLine CommandLine::Split(const QString &line)
{
    CommandLine result;
    if (line.trimmed().isEmpty())
        return result;
    const QStringList parts = line.split(QLatin1Char('|'));
    if (parts.size() < 2) {
        result.valid = false;
        return result;
    }
    result.host = parts.at(0).trimmed();
    result.password = parts.at(1);
    return result;
}
