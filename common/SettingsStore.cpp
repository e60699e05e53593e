#include "SettingsStore.h"

#include "IniFile.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

QString configRoot()
{
    const QByteArray env = qgetenv("XDG_CONFIG_HOME");
    if (!env.isEmpty())
        return QString::fromLocal8Bit(env);
    return QDir::homePath() + QLatin1String("/.config");
}

// Serialises read-modify-write cycles between processes.
class StoreLock
{
public:
    explicit StoreLock(const QString &iniPath)
    {
        m_fd = ::open(QFile::encodeName(iniPath + QLatin1String(".lock")).constData(),
                      O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (m_fd >= 0)
            ::flock(m_fd, LOCK_EX);
    }
    ~StoreLock()
    {
        if (m_fd >= 0)
            ::close(m_fd); // releases the lock
    }
    StoreLock(const StoreLock &) = delete;
    StoreLock &operator=(const StoreLock &) = delete;

private:
    int m_fd = -1;
};

template<typename Change>
bool modify(const QString &application, Change change)
{
    const QString path = SettingsStore::filePath(application);
    QDir().mkpath(QFileInfo(path).absolutePath());
    StoreLock lock(path);
    IniFile ini(path, IniFile::Encoding::Utf8);
    if (!ini.load())
        return false;
    change(ini);
    return ini.save();
}

} // namespace

namespace SettingsStore {

QString filePath(const QString &application)
{
    return configRoot() + QLatin1String("/Brindle/") + application + QLatin1String(".ini");
}

QString GetSetting(const QString &application, const QString &section, const QString &key,
                   const QString &defaultValue, bool *readable)
{
    IniFile ini(filePath(application), IniFile::Encoding::Utf8);
    const bool loaded = ini.load();
    if (readable)
        *readable = loaded;
    if (!loaded)
        return defaultValue;
    return ini.value(section, key, defaultValue);
}

bool SaveSetting(const QString &application, const QString &section, const QString &key,
                 const QString &value)
{
    return modify(application, [&](IniFile &ini) { ini.setValue(section, key, value); });
}

bool DeleteSetting(const QString &application, const QString &section, const QString &key)
{
    return modify(application, [&](IniFile &ini) { ini.remove(section, key); });
}

QString FormatDate(const QDateTime &when)
{
    return when.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
}

QDateTime ParseDate(const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return {};
    QDateTime when = QDateTime::fromString(t, Qt::ISODate);
    if (when.isValid())
        return when;
    const QLocale locale;
    for (const auto format : {QLocale::ShortFormat, QLocale::LongFormat, QLocale::NarrowFormat}) {
        when = locale.toDateTime(t, format);
        if (when.isValid())
            return when;
    }
    // A bare date reads as its midnight, as Windows converts it.
    const QDate date = QDate::fromString(t, Qt::ISODate);
    if (date.isValid())
        return date.startOfDay();
    return {};
}

} // namespace SettingsStore
