#include "base/modGlobals.h"

#include <Clock.h>

#include <QDateTime>
#include <QFileInfo>
#include <QLocale>

namespace modGlobals {

SettingsRecord SS;
ParentFile Install;
bool DebugMode = false;
bool MarkerCheckOff = false;
QString CommandLine;
bool LoadScreenVisible = false;
qint32 TimeLeftSeconds = 0;
std::optional<VbError> DataFileError;

namespace {
QString g_appPath;
}

void Reset()
{
    SS = SettingsRecord();
    Install = ParentFile();
    DebugMode = false;
    MarkerCheckOff = false;
    CommandLine.clear();
    LoadScreenVisible = false;
    TimeLeftSeconds = 0;
    DataFileError.reset();
}

QString AppPath()
{
    if (g_appPath.isEmpty()) {
        const QFileInfo exe(QStringLiteral("/proc/self/exe"));
        g_appPath = QFileInfo(exe.canonicalFilePath()).absolutePath() + QLatin1Char('/');
    }
    return g_appPath;
}

void SetAppPath(const QString &folder)
{
    g_appPath = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

bool HasSwitch(const QString &commandLine, const QString &name)
{
    return commandLine.contains(name, Qt::CaseInsensitive);
}

QString LogTimestamp()
{
    // "DD-MMM-YY": the locale's short month name cut to three letters, as
    // some locales write four with a dot ("Dez.", "déc.").
    const QDateTime now = Clock::now();
    const QLocale locale;
    const QString month = locale.monthName(now.date().month(), QLocale::ShortFormat).remove(QLatin1Char('.')).left(3);
    return now.toString(QStringLiteral("dd-")) + month + now.toString(QStringLiteral("-yy HH:mm:ss"));
}

void WriteLog(const QString &message)
{
    QFile log(AppPath() + QLatin1String("startup.log"));
    if (!log.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    log.write((LogTimestamp() + QLatin1Char(' ') + message + QLatin1String("\r\n")).toLocal8Bit());
}

bool FileExists(const QString &path)
{
    return !path.isEmpty() && QFileInfo::exists(path);
}

} // namespace modGlobals
