#include "base/modUtil.h"

#include "base/modGlobals.h"
#include "platform/Services.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <QRegularExpression>
#include <QStandardPaths>

namespace modUtil {
namespace {

QString withSlash(const QString &folder)
{
    if (folder.isEmpty())
        return folder;
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

QString standardFolder(QStandardPaths::StandardLocation location)
{
    return withSlash(QStandardPaths::writableLocation(location));
}

QString applicationsFolder()
{
    return withSlash(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                     + QLatin1String("/applications"));
}

void replaceAll(QString &text, const QString &variable, const QString &value)
{
    text.replace(variable, value, Qt::CaseInsensitive);
}

} // namespace

QString ExpandPathVars(const QString &text)
{
    QString result = text;
    const QString app = modGlobals::AppPath();
    // ".\" (or "./") names the program folder where a path starts: at the
    // beginning, after a blank or a quote, but never inside "..\".
    static const QRegularExpression shellFolder(QStringLiteral("(^|[\\s\"])\\.[\\\\/]"));
    result.replace(shellFolder, QStringLiteral("\\1") + QString(app).replace(QLatin1Char('\\'), QLatin1String("\\\\")));
    replaceAll(result, QStringLiteral("%windir%"), QStringLiteral("/usr/"));
    replaceAll(result, QStringLiteral("%sysdir%"), QStringLiteral("/usr/bin/"));
    replaceAll(result, QStringLiteral("%apppath%"), app);
    if (result.contains(QLatin1Char('%'))) {
        replaceAll(result, QStringLiteral("%documents%"), standardFolder(QStandardPaths::DocumentsLocation));
        replaceAll(result, QStringLiteral("%favorites%"),
                   withSlash(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                             + QLatin1String("/Brindle/favorites")));
        replaceAll(result, QStringLiteral("%desktop%"), standardFolder(QStandardPaths::DesktopLocation));
        replaceAll(result, QStringLiteral("%programs%"), applicationsFolder());
        replaceAll(result, QStringLiteral("%startmenu%"), applicationsFolder());
        replaceAll(result, QStringLiteral("%childbrowser%"), app + QLatin1String("wicket/wicket"));
    }
    return result;
}

QString LocalPath(const QString &storedPath)
{
    return QString(storedPath).replace(QLatin1Char('\\'), QLatin1Char('/'));
}

QString FolderOf(const QString &path)
{
    const QString local = LocalPath(path);
    const int slash = int(local.lastIndexOf(QLatin1Char('/')));
    return slash < 0 ? QString() : local.left(slash + 1);
}

void PlayFile(const QString &path, bool wait)
{
    if (path.isEmpty() || modGlobals::SS.SoundsEnabled == 0)
        return;
    const QString file = LocalPath(ExpandPathVars(path));
    if (modGlobals::FileExists(file)) {
        auto &sound = platform::Services::sound();
        if (sound.hasOutput())
            sound.play(file, wait);
    } else if (modGlobals::SS.BeepIfNoSound != 0) {
        platform::Services::sound().beep();
    }
}

void WaitMs(int milliseconds, bool noEvents)
{
    if (milliseconds <= 0)
        return;
    if (noEvents || !QCoreApplication::instance()) {
        QThread::msleep(ulong(milliseconds));
        return;
    }
    QEventLoop loop;
    QTimer::singleShot(milliseconds, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace modUtil
