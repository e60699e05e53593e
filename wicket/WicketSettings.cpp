#include "WicketSettings.h"

#include <IniFile.h>
#include <VbNumber.h>

namespace {

// A choice is on only when its number is exactly 1; anything else, or
// nothing, leaves it off.
bool isOne(const IniFile &ini, const char *key)
{
    return VbNumber::Val(ini.value(QStringLiteral("settings"), QLatin1String(key))) == 1.0;
}

} // namespace

WicketSettings WicketSettings::read(const QString &programFolder)
{
    WicketSettings result;
    result.programFolder = programFolder.endsWith(QLatin1Char('/')) ? programFolder
                                                                    : programFolder + QLatin1Char('/');

    IniFile settings(result.programFolder + QStringLiteral("settings.ini"));
    const bool readable = settings.load(); // a missing file reads as empty
    result.popupsAllowed = readable && isOne(settings, "Allowpopup");
    // A choice the parent may have made but that cannot be read counts as made.
    result.stayOnApprovedSites = !readable || isOne(settings, "StayOnApprovedSites");

    IniFile links(result.programFolder + QStringLiteral("links.ini"));
    links.load();
    for (int i = 0;; ++i) {
        const QString section = QStringLiteral("LINK_%1").arg(i, 3, 10, QLatin1Char('0'));
        const QString name = links.value(section, QStringLiteral("NAME"));
        if (name.isEmpty())
            break;
        result.links.append({name, links.value(section, QStringLiteral("URL"))});
    }
    return result;
}

QUrl WicketSettings::startPage() const
{
    return QUrl::fromLocalFile(programFolder + QStringLiteral("start.html"));
}

QList<QUrl> WicketSettings::linkUrls() const
{
    QList<QUrl> urls;
    for (const Link &link : links)
        urls.append(QUrl::fromUserInput(link.url));
    return urls;
}
