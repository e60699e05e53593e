#include "data/SpecialKeysFile.h"

#include "AtomicFile.h"
#include "Cp1252.h"
#include "VbNumber.h"

#include <QRegularExpression>

#include <cmath>
#include <limits>
#include <optional>

namespace SpecialKeysFile {
namespace {

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

QString trimmed(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text.at(begin)))
        ++begin;
    while (end > begin && isBlank(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

// Only spaces count as trailing blanks of a name; a tab stays part of it.
QString withoutTrailingSpaces(const QString &text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.left(end);
}

// A key text that reads as a decimal number, rounded halves to even; nothing
// for anything else, including values no key code can have.
std::optional<qint32> keyNumber(const QString &text)
{
    static const QRegularExpression number(
        QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?$"));
    if (!number.match(text).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    const double rounded = double(VbNumber::RoundHalfEven(value));
    if (rounded < double(std::numeric_limits<qint32>::min())
        || rounded > double(std::numeric_limits<qint32>::max()))
        return std::nullopt;
    return qint32(rounded);
}

} // namespace

QList<SpecialKey> Parse(const QByteArray &bytes)
{
    const QString text = Cp1252::decode(bytes);
    QList<SpecialKey> keys;
    qsizetype pos = 0;
    const qsizetype n = text.size();
    while (pos < n) {
        // Lines end in CR LF, LF or CR; the end of the file after the last
        // line end is no further line.
        qsizetype end = pos;
        while (end < n && text.at(end) != QLatin1Char('\r') && text.at(end) != QLatin1Char('\n'))
            ++end;
        const QString line = text.mid(pos, end - pos);
        if (end + 1 < n && text.at(end) == QLatin1Char('\r') && text.at(end + 1) == QLatin1Char('\n'))
            pos = end + 2;
        else
            pos = end + 1;

        const qsizetype comma = line.indexOf(QLatin1Char(','));
        if (comma < 0)
            break;
        const std::optional<qint32> code = keyNumber(trimmed(line.left(comma)));
        if (!code)
            continue;
        keys.append({*code, withoutTrailingSpaces(line.mid(comma + 1))});
    }
    return keys;
}

QByteArray Format(const QList<SpecialKey> &keys)
{
    QByteArray out;
    for (const SpecialKey &key : keys) {
        out += QByteArray::number(key.KeyCode);
        out += ',';
        out += Cp1252::encode(key.Name);
        out += "\r\n";
    }
    return out;
}

bool Write(const QString &path, const QList<SpecialKey> &keys, QString *error)
{
    // Which keys are swallowed is the parent's business: owner-only, like settings.dat.
    return AtomicFile::write(path, Format(keys), error, AtomicFile::Access::OwnerOnly);
}

} // namespace SpecialKeysFile
