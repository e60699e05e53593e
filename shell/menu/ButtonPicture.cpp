#include "ButtonPicture.h"

#include "base/modGlobals.h"
#include "base/modUtil.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QIcon>
#include <QImageReader>
#include <QMimeDatabase>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>

namespace ButtonPicture {
namespace {

// Qt reads these itself; asking Qt about any other format loads every image
// plugin, which a menu of bitmaps does not need.
bool isBuiltInFormat(const QString &suffix)
{
    return suffix == QLatin1String("bmp") || suffix == QLatin1String("png") || suffix == QLatin1String("xpm");
}

// A picture in a format Qt reads itself is read as what its name says; a file
// whose name does not match its content is read by its content.
QImage readPicture(const QString &file, const QString &suffix)
{
    if (isBuiltInFormat(suffix)) {
        QImageReader named(file, suffix.toLatin1());
        named.setAutoDetectImageFormat(false);
        named.setAutoTransform(true);
        const QImage image = named.read();
        if (!image.isNull())
            return image;
    }
    QImageReader reader(file);
    reader.setAutoTransform(true);
    return reader.read();
}

// Picture files shown as they are, when this Qt can read them. ".wmf" has no
// reader on Linux, so it shows its file-type icon.
bool isPictureFile(const QString &suffix)
{
    static const QStringList pictures = {QStringLiteral("bmp"), QStringLiteral("gif"), QStringLiteral("jpg"),
                                         QStringLiteral("jpeg"), QStringLiteral("png"), QStringLiteral("xpm"),
                                         QStringLiteral("svg")};
    if (!pictures.contains(suffix))
        return false;
    if (isBuiltInFormat(suffix))
        return true;
    static const QList<QByteArray> readable = QImageReader::supportedImageFormats();
    const QByteArray format = suffix == QLatin1String("jpg") ? QByteArray("jpeg") : suffix.toLatin1();
    return readable.contains(format);
}

struct DesktopEntry {
    QString name;
    QString icon;
    QString exec;
    QString tryExec;
};

DesktopEntry readDesktopEntry(const QString &path)
{
    DesktopEntry entry;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return entry;
    bool inEntry = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            if (inEntry)
                break; // later groups are actions
            inEntry = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        if (!inEntry)
            continue;
        const int eq = int(line.indexOf(QLatin1Char('=')));
        if (eq <= 0)
            continue;
        const QString key = line.left(eq).trimmed();
        const QString value = line.mid(eq + 1).trimmed();
        if (key == QLatin1String("Name"))
            entry.name = value;
        else if (key == QLatin1String("Icon"))
            entry.icon = value;
        else if (key == QLatin1String("Exec"))
            entry.exec = value;
        else if (key == QLatin1String("TryExec"))
            entry.tryExec = value;
    }
    return entry;
}

// The program file a command names: absolute as written, or found on PATH.
QString programFile(const QString &command)
{
    if (command.isEmpty())
        return {};
    const QString found = command.contains(QLatin1Char('/')) ? command : QStandardPaths::findExecutable(command);
    if (found.isEmpty())
        return {};
    const QString canonical = QFileInfo(found).canonicalFilePath();
    return canonical.isEmpty() ? found : canonical;
}

QString execProgram(const QString &exec)
{
    QStringList words = QProcess::splitCommand(exec);
    // "env NAME=value program ..." starts program.
    if (!words.isEmpty() && QFileInfo(words.first()).fileName() == QLatin1String("env")) {
        words.removeFirst();
        while (!words.isEmpty() && words.first().contains(QLatin1Char('=')))
            words.removeFirst();
    }
    return words.isEmpty() ? QString() : programFile(words.first());
}

struct Cache {
    bool indexed = false;
    QHash<QString, QString> iconOfProgram; // canonical program file -> Icon value
    QHash<QString, QPixmap> icons;         // "name@pixels" -> icon
};

Cache &cache()
{
    static Cache c;
    return c;
}

// Which icon each installed program's desktop entry gives it. Entries of the
// user come before those of the system, as the desktop's menus have it.
void indexDesktopEntries()
{
    Cache &c = cache();
    if (c.indexed)
        return;
    c.indexed = true;
    const QStringList folders = QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
    for (const QString &folder : folders) {
        QDirIterator it(folder, {QStringLiteral("*.desktop")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const DesktopEntry entry = readDesktopEntry(it.next());
            if (entry.icon.isEmpty())
                continue;
            for (const QString &program : {execProgram(entry.exec), programFile(entry.tryExec)}) {
                if (!program.isEmpty() && !c.iconOfProgram.contains(program))
                    c.iconOfProgram.insert(program, entry.icon);
            }
        }
    }
}

// Exactly pixels x pixels: smaller icons are centred, larger ones scaled down.
QPixmap toSize(const QPixmap &pixmap, int pixels)
{
    if (pixmap.isNull() || (pixmap.width() == pixels && pixmap.height() == pixels))
        return pixmap;
    QPixmap scaled = pixmap;
    if (pixmap.width() > pixels || pixmap.height() > pixels)
        scaled = pixmap.scaled(pixels, pixels, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QPixmap result(pixels, pixels);
    result.fill(Qt::transparent);
    QPainter painter(&result);
    painter.drawPixmap((pixels - scaled.width()) / 2, (pixels - scaled.height()) / 2, scaled);
    return result;
}

QPixmap iconPixmap(const QIcon &icon, int pixels)
{
    if (icon.isNull())
        return {};
    return toSize(icon.pixmap(QSize(pixels, pixels), 1.0), pixels);
}

// An icon named by a desktop entry: a file, or a name in the icon theme (or
// the old pixmaps folder).
QPixmap namedIcon(const QString &value, int pixels)
{
    if (value.isEmpty())
        return {};
    if (value.startsWith(QLatin1Char('/')))
        return QFileInfo::exists(value) ? iconPixmap(QIcon(value), pixels) : QPixmap();
    QString name = value;
    for (const char *suffix : {".png", ".svg", ".xpm"})
        if (name.endsWith(QLatin1String(suffix)))
            name.chop(4);
    const QString key = name + QLatin1Char('@') + QString::number(pixels);
    Cache &c = cache();
    const auto it = c.icons.constFind(key);
    if (it != c.icons.constEnd())
        return *it;
    EnsureIconTheme();
    QPixmap result;
    if (QIcon::hasThemeIcon(name)) {
        result = iconPixmap(QIcon::fromTheme(name), pixels);
    } else {
        for (const char *suffix : {".png", ".xpm", ".svg"}) {
            const QString file = QStringLiteral("/usr/share/pixmaps/") + name + QLatin1String(suffix);
            if (QFileInfo::exists(file)) {
                result = iconPixmap(QIcon(file), pixels);
                if (!result.isNull())
                    break;
            }
        }
    }
    c.icons.insert(key, result);
    return result;
}

// The first of the names the theme has.
QPixmap themeIcon(const QStringList &names, int pixels)
{
    for (const QString &name : names) {
        const QPixmap pixmap = namedIcon(name, pixels);
        if (!pixmap.isNull())
            return pixmap;
    }
    return {};
}

QPixmap executableIcon(const QString &file, int pixels)
{
    indexDesktopEntries();
    const QString canonical = QFileInfo(file).canonicalFilePath();
    const QString icon = cache().iconOfProgram.value(canonical);
    QPixmap pixmap = namedIcon(icon, pixels);
    if (pixmap.isNull())
        pixmap = themeIcon({QStringLiteral("application-x-executable"), QStringLiteral("application-x-generic")},
                           pixels);
    return pixmap;
}

QPixmap fileTypeIcon(const QString &file, int pixels)
{
    static const QMimeDatabase mimes;
    const QMimeType type = mimes.mimeTypeForFile(file);
    return themeIcon({type.iconName(), type.genericIconName(), QStringLiteral("text-x-generic"),
                      QStringLiteral("unknown")},
                     pixels);
}

} // namespace

QString DesktopEntryName(const QString &path)
{
    return readDesktopEntry(path).name;
}

int IconPixels(int size)
{
    return size == Small ? 16 : 32;
}

void ClearCache()
{
    Cache &c = cache();
    c.indexed = false;
    c.iconOfProgram.clear();
    c.icons.clear();
}

void EnsureIconTheme()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    QStringList fallbacks = QIcon::fallbackSearchPaths();
    if (!fallbacks.contains(QLatin1String("/usr/share/pixmaps")))
        QIcon::setFallbackSearchPaths(fallbacks << QStringLiteral("/usr/share/pixmaps"));
    QIcon::setFallbackThemeName(QStringLiteral("hicolor"));
    // Without a desktop platform theme Qt looks in its resources only.
    QStringList paths = QIcon::themeSearchPaths();
    QStringList wanted{QDir::homePath() + QStringLiteral("/.icons")};
    for (const QString &data : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        wanted << data + QStringLiteral("/icons");
    bool added = false;
    for (const QString &path : std::as_const(wanted)) {
        if (!paths.contains(path) && QFileInfo(path).isDir()) {
            paths << path;
            added = true;
        }
    }
    if (added)
        QIcon::setThemeSearchPaths(paths);
    const QString current = QIcon::themeName();
    if (!current.isEmpty() && current != QLatin1String("hicolor"))
        return;
    // hicolor alone has no file-type icons; a plain Debian has Adwaita.
    for (const char *theme : {"Adwaita", "breeze", "hicolor"}) {
        for (const QString &path : paths) {
            if (QFileInfo::exists(path + QLatin1Char('/') + QLatin1String(theme) + QLatin1String("/index.theme"))) {
                QIcon::setThemeName(QLatin1String(theme));
                return;
            }
        }
    }
}

QPixmap LoadButtonPicture(const QString &path, int size)
{
    if (path.isEmpty())
        return {};
    const QString file = modUtil::LocalPath(modUtil::ExpandPathVars(path));
    if (!modGlobals::FileExists(file))
        return {};
    const QFileInfo info(file);
    const QString suffix = info.suffix().toLower();
    const int pixels = IconPixels(size);

    if (isPictureFile(suffix)) {
        const QImage image = readPicture(file, suffix);
        return image.isNull() ? QPixmap() : QPixmap::fromImage(image);
    }
    if (suffix == QLatin1String("desktop") && info.isFile()) {
        const QPixmap icon = namedIcon(readDesktopEntry(file).icon, pixels);
        return icon.isNull() ? themeIcon({QStringLiteral("application-x-executable")}, pixels) : icon;
    }
    if (suffix == QLatin1String("ico"))
        return iconPixmap(QIcon(file), pixels);
    if (info.isFile() && info.isExecutable())
        return executableIcon(file, pixels);
    return fileTypeIcon(file, pixels);
}

} // namespace ButtonPicture
