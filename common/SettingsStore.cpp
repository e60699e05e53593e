#include "SettingsStore.h"

#include "AtomicFile.h"
#include "Clock.h"
#include "IniFile.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QStandardPaths>

#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
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

// What tells one version of the file from another. Every write of ours
// renames a new file into place, so the inode changes too when size and
// time stay the same.
struct Identity {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};

    bool operator==(const Identity &o) const
    {
        return exists == o.exists && device == o.device && inode == o.inode && size == o.size
               && modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec
               && changed.tv_sec == o.changed.tv_sec && changed.tv_nsec == o.changed.tv_nsec;
    }
};

Identity identityOf(const struct stat &st)
{
    return {true, st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim};
}

// A file that cannot be looked at counts as missing, as it always did.
Identity identityOf(const QByteArray &path)
{
    struct stat st;
    return ::stat(path.constData(), &st) == 0 ? identityOf(st) : Identity{};
}

struct Cached {
    IniFile ini{QString(), IniFile::Encoding::Utf8};
    bool readable = true;
    Identity identity;
    bool loaded = false;
    std::optional<qint64> checkedMs; // none: look at the next read
};

std::mutex g_mutex;
QHash<QString, Cached> g_cache; // by path: tests and Farrow change $XDG_CONFIG_HOME

// Reads the file whole from one descriptor, so the identity belongs to the
// content even when another process renames a new file in meanwhile.
void reload(const QString &path, Cached &cached)
{
    const QByteArray name = QFile::encodeName(path);
    cached.loaded = true;
    cached.readable = false;
    cached.ini = IniFile(path, IniFile::Encoding::Utf8);
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        cached.readable = errno == ENOENT;
        cached.identity = identityOf(name);
        return;
    }
    struct stat st;
    QByteArray bytes;
    bool ok = ::fstat(fd, &st) == 0 && !S_ISDIR(st.st_mode);
    if (ok)
        cached.identity = identityOf(st);
    char buffer[16384];
    while (ok) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        bytes.append(buffer, n);
    }
    ::close(fd);
    if (!ok)
        return;
    cached.ini.parse(bytes);
    cached.readable = true;
}

// The copy in memory, brought in line with the file when it may have
// changed: at the first read, after Refresh, once CheckEveryMs passed (a
// clock set back counts as passed), or always when forced.
Cached &current(const QString &path, bool force)
{
    Cached &cached = g_cache[path];
    const qint64 now = Clock::steadyMs();
    if (!force && cached.loaded && cached.checkedMs && now >= *cached.checkedMs
        && now - *cached.checkedMs < SettingsStore::CheckEveryMs)
        return cached;
    cached.checkedMs = now;
    if (!cached.loaded || !(identityOf(QFile::encodeName(path)) == cached.identity))
        reload(path, cached);
    return cached;
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
    const std::lock_guard<std::mutex> guard(g_mutex);
    const Cached &cached = current(filePath(application), false);
    if (readable)
        *readable = cached.readable;
    if (!cached.readable)
        return defaultValue;
    return cached.ini.value(section, key, defaultValue);
}

bool SaveSetting(const QString &application, const QString &section, const QString &key,
                 const QString &value, QString *error)
{
    return Change(application).set(section, key, value).save(error);
}

bool DeleteSetting(const QString &application, const QString &section, const QString &key, QString *error)
{
    return Change(application).remove(section, key).save(error);
}

void Refresh(const QString &application)
{
    const std::lock_guard<std::mutex> guard(g_mutex);
    const auto found = g_cache.find(filePath(application));
    if (found != g_cache.end())
        found->checkedMs.reset();
}

Change::Change(const QString &application)
    : m_application(application)
{
}

Change &Change::set(const QString &section, const QString &key, const QString &value)
{
    m_edits.append({section, key, value});
    return *this;
}

Change &Change::remove(const QString &section, const QString &key)
{
    m_edits.append({section, key, std::nullopt});
    return *this;
}

bool Change::save(QString *error) const
{
    const QString path = filePath(m_application);
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        if (error)
            *error = QStringLiteral("Cannot create the folder of %1").arg(path);
        return false;
    }
    // The lock first: another process may hold it for a while, and the
    // in-process guard must not wait on it.
    const StoreLock lock(path);
    const std::lock_guard<std::mutex> guard(g_mutex);
    Cached &cached = current(path, true);
    if (!cached.readable) {
        if (error)
            *error = QStringLiteral("Cannot read %1").arg(path);
        return false;
    }
    IniFile next = cached.ini;
    for (const Edit &edit : m_edits) {
        if (edit.value)
            next.setValue(edit.section, edit.key, *edit.value);
        else
            next.remove(edit.section, edit.key);
    }
    if (next.serialize() == cached.ini.serialize())
        return true;
    if (!next.save(error))
        return false; // the old file stays, and so does its copy here
    cached.ini = next;
    cached.identity = identityOf(QFile::encodeName(path));
    return true;
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
