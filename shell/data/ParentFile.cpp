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

bool ParentFile::Save(const QString &path, QString *error) const
{
    IniFile ini(path);
    if (!password.isNull()) {
        const QString section = QStringLiteral("Parent");
        ini.setValue(section, QStringLiteral("Salt"), QString::fromLatin1(password.salt.toHex()));
        ini.setValue(section, QStringLiteral("Iterations"), QString::number(password.iterations));
        ini.setValue(section, QStringLiteral("Key"), QString::fromLatin1(password.key.toHex()));
    }
    for (auto it = timeLimit.cbegin(); it != timeLimit.cend(); ++it)
        ini.setValue(QStringLiteral("TimeLimit"), it.key(), it.value());
    return ini.save(error);
}
