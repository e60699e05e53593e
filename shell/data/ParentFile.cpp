#include "data/ParentFile.h"

#include "IniFile.h"

#include <QFileInfo>

namespace {

constexpr qint64 MaxFileSize = 64 * 1024;

} // namespace

ParentFile ParentFile::Load(const QString &path)
{
    ParentFile result;
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > MaxFileSize)
        return result;
    IniFile ini(path);
    if (!ini.load())
        return result;

    const QString section = QStringLiteral("Parent");
    const QByteArray salt = QByteArray::fromHex(ini.value(section, QStringLiteral("Salt")).toLatin1());
    const QByteArray key = QByteArray::fromHex(ini.value(section, QStringLiteral("Key")).toLatin1());
    bool number = false;
    const int iterations = ini.value(section, QStringLiteral("Iterations")).toInt(&number);
    if (number && key.size() == PasswordKey::KeyLength && PasswordKey::acceptable(salt, iterations))
        result.password = {salt, iterations, key};

    const QString timeLimit = QStringLiteral("TimeLimit");
    for (const QString &name : ini.keys(timeLimit))
        result.timeLimit.insert(name, ini.value(timeLimit, name));
    return result;
}
