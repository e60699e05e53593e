#include "RememberedHosts.h"

#include "SettingsStore.h"

namespace {

const QString Application = QStringLiteral("Farrow");
const QString Section = QStringLiteral("Computers");

QString key(int position)
{
    return QStringLiteral("C%1").arg(position, 2, 10, QLatin1Char('0'));
}

} // namespace

namespace RememberedHosts {

QStringList Load()
{
    QStringList hosts;
    for (int i = 1; i <= Count; ++i) {
        const QString host = SettingsStore::GetSetting(Application, Section, key(i));
        if (host.isEmpty())
            break;
        hosts.append(host);
    }
    return hosts;
}

bool Add(const QString &host, QString *error)
{
    // An empty first entry would hide every host behind it.
    if (host.trimmed().isEmpty())
        return true;
    QStringList list{host};
    for (int i = 1; i <= Count; ++i)
        list.append(SettingsStore::GetSetting(Application, Section, key(i)));
    const qsizetype match = list.indexOf(host, 1);
    list.removeAt(match > 0 ? match : list.size() - 1);
    SettingsStore::Change change(Application);
    for (int i = 1; i <= Count; ++i)
        change.set(Section, key(i), list.at(i - 1));
    return change.save(error);
}

} // namespace RememberedHosts
