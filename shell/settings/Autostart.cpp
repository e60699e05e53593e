#include "settings/Autostart.h"

#include "base/modGlobals.h"

#include <AtomicFile.h>
#include <IniFile.h>

#include <QDir>
#include <QFileInfo>

namespace Autostart {
namespace {

const QString Group = QStringLiteral("Desktop Entry");

QString configHome()
{
    const QString env = qEnvironmentVariable("XDG_CONFIG_HOME");
    return env.isEmpty() ? QDir::homePath() + QStringLiteral("/.config") : env;
}

// One argument of an Exec line: quoted when it holds anything but plain
// characters, with the characters the desktop-entry rules reserve escaped.
QString execArgument(const QString &path)
{
    static const QString plain = QStringLiteral("/._-+,");
    const bool simple = std::all_of(path.cbegin(), path.cend(),
                                    [](QChar c) { return c.isLetterOrNumber() || plain.contains(c); });
    if (simple)
        return path;
    QString quoted;
    for (QChar c : path) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    quoted = QLatin1Char('"') + quoted + QLatin1Char('"');
    // The entry's own string escapes come on top: a backslash is written twice.
    return quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
}

} // namespace

QString EntryPath()
{
    return configHome() + QStringLiteral("/autostart/Brindle.desktop");
}

QString ShellCommand()
{
    return execArgument(modGlobals::AppPath() + QStringLiteral("brindle"));
}

bool IsOn()
{
    IniFile entry(EntryPath(), IniFile::Encoding::Utf8);
    if (!QFileInfo::exists(EntryPath()) || !entry.load())
        return false;
    if (entry.value(Group, QStringLiteral("Hidden")).compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return false;
    return entry.value(Group, QStringLiteral("Exec")).compare(ShellCommand(), Qt::CaseInsensitive) == 0;
}

bool Set(bool on, QString *error)
{
    const QString path = EntryPath();
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        if (error)
            *error = QStringLiteral("Cannot create the folder of ") + path;
        return false;
    }
    const QString text = QStringLiteral("[Desktop Entry]\n"
                                        "Type=Application\n"
                                        "Name=Brindle\n"
                                        "Comment=The child's menu of picture buttons\n"
                                        "Exec=%1\n"
                                        "Hidden=%2\n")
                             .arg(ShellCommand(), on ? QStringLiteral("false") : QStringLiteral("true"));
    return AtomicFile::write(path, text.toUtf8(), error);
}

} // namespace Autostart
