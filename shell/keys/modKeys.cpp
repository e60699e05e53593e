#include "keys/modKeys.h"

#include "data/SpecialKeysFile.h"

#include <QFile>

namespace modKeys {

QList<SpecialKey> SpecialKeys;
qint32 SpecialKeyCount = -1;
bool SpecialKeyCapture = false;

namespace {

void setTable(QList<SpecialKey> keys)
{
    SpecialKeys = std::move(keys);
    SpecialKeyCount = qint32(SpecialKeys.size()) - 1;
}

} // namespace

void LoadSpecialKeys(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        setTable({});
        return;
    }
    setTable(SpecialKeysFile::Parse(file.readAll()));
}

bool SaveSpecialKeys(const QString &path, QString *error)
{
    return SpecialKeysFile::Write(path, SpecialKeys, error);
}

void ClearSpecialKeys()
{
    setTable({});
}

bool AddCapturedKey(qint32 vk)
{
    for (const SpecialKey &key : std::as_const(SpecialKeys))
        if (key.KeyCode == vk)
            return false;
    SpecialKeys.append({vk, KeyDisplayName(vk)});
    SpecialKeyCount = qint32(SpecialKeys.size()) - 1;
    return true;
}

QString KeyDisplayName(qint32 vk)
{
    switch (vk) {
    case 91: return QStringLiteral("(MS) START MENU (LEFT)");
    case 92: return QStringLiteral("(MS) START MENU (RIGHT)");
    case 93: return QStringLiteral("(MS) ITEM PROPERTIES");
    case 95: return QStringLiteral("(MS) SLEEP");
    case 166: return QStringLiteral("(MS) BACK");
    case 167: return QStringLiteral("(MS) FORWARD");
    case 169: return QStringLiteral("(MS) STOP");
    case 170: return QStringLiteral("(MS) SEARCH");
    case 171: return QStringLiteral("(MS) FAVORITES");
    case 172: return QStringLiteral("(MS) WEB/HOME");
    case 180: return QStringLiteral("(MS) MAIL");
    case 182: return QStringLiteral("(MS) MY COMPUTER");
    case 183: return QStringLiteral("(MS) CALCULATOR");
    default: return QStringLiteral("Unknown");
    }
}

QString FormatListLine(const SpecialKey &entry)
{
    const qint64 code = entry.KeyCode;
    const QString digits = QString::number(code < 0 ? -code : code).rightJustified(3, QLatin1Char('0'));
    return (code < 0 ? QStringLiteral("-") : QString()) + digits + QStringLiteral(" , ") + entry.Name;
}

} // namespace modKeys
