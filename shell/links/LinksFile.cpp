#include "links/LinksFile.h"

#include "base/modGlobals.h"

#include <IniFile.h>

#include <QRegularExpression>

namespace LinksFile {
namespace {

QString section(int position)
{
    return QStringLiteral("LINK_%1").arg(position, 3, 10, QLatin1Char('0'));
}

bool hasScheme(const QString &url)
{
    static const QRegularExpression scheme(QStringLiteral("^([A-Za-z][A-Za-z0-9+.-]*):(.*)$"),
                                           QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch match = scheme.match(url);
    if (!match.hasMatch())
        return false;
    const QString rest = match.captured(2);
    if (rest.startsWith(QLatin1String("//")))
        return true;
    // "host.name:80" and "localhost:8080/" name a host and a port.
    return !match.captured(1).contains(QLatin1Char('.')) && !(rest.size() > 0 && rest.at(0).isDigit());
}

} // namespace

QString DefaultPath()
{
    return modGlobals::AppPath() + QStringLiteral("wicket/links.ini");
}

QList<ChildLink> Load(const QString &path)
{
    QList<ChildLink> links;
    IniFile file(path);
    if (!file.load())
        return links;
    for (int i = 0;; ++i) {
        const QString name = file.value(section(i), QStringLiteral("NAME"));
        if (name.isEmpty())
            break;
        links.append({name, file.value(section(i), QStringLiteral("URL"))});
    }
    return links;
}

bool Save(const QString &path, const QList<ChildLink> &links, QString *error)
{
    IniFile file(path);
    for (int i = 0; i < links.size(); ++i) {
        file.setValue(section(i), QStringLiteral("NAME"), links.at(i).name);
        file.setValue(section(i), QStringLiteral("URL"), links.at(i).url);
    }
    return file.save(error);
}

QString CompleteUrl(const QString &typed)
{
    const QString url = typed.trimmed();
    return hasScheme(url) ? url : QStringLiteral("http://") + url;
}

} // namespace LinksFile
