#include "SystemPlugins.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>

namespace {

QString systemFolder()
{
    return QLibraryInfo::path(QLibraryInfo::PluginsPath);
}

} // namespace

namespace SystemPlugins {

void Restrict()
{
    // The application object replays our change on top of the paths it
    // computes: a folder present in the old paths and missing from ours is
    // dropped. So the program's folder is made part of the old paths first
    // (through QT_PLUGIN_PATH, as Qt reads it), then left out of ours.
    const QString own = QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath()).absolutePath();
    qputenv("QT_PLUGIN_PATH", QFile::encodeName(own));
    QCoreApplication::libraryPaths();
    QCoreApplication::setLibraryPaths({systemFolder()});
    qunsetenv("QT_PLUGIN_PATH");
}

void Confirm()
{
    if (QCoreApplication::libraryPaths() != QStringList{systemFolder()})
        QCoreApplication::setLibraryPaths({systemFolder()});
}

} // namespace SystemPlugins
