#include "base/TimeLimitStore.h"

#include "base/modGlobals.h"

#include <SettingsStore.h>

#include <QStringList>

namespace TimeLimitStore {

namespace {

const QString Section = QStringLiteral("TimeLimit");

} // namespace

QString Get(const QString &key, const QString &defaultValue, bool *readable)
{
    static const QStringList runStateKeys{QStringLiteral("LastInit"), QStringLiteral("TimeLeft"),
                                          QStringLiteral("PeriodStart"), QStringLiteral("ExtraTime"),
                                          QStringLiteral("Locked")};
    const bool runState = runStateKeys.contains(key, Qt::CaseInsensitive);
    const QString fallback = runState ? defaultValue : modGlobals::Install.timeLimit.value(key, defaultValue);
    return SettingsStore::GetSetting(modGlobals::AppTitle, Section, key, fallback, readable);
}

bool Holds(const QString &key)
{
    // No stored text can hold a NUL character.
    const QString absent(QChar(0));
    bool readable = false;
    const QString value = SettingsStore::GetSetting(modGlobals::AppTitle, Section, key, absent, &readable);
    return readable && value != absent;
}

} // namespace TimeLimitStore
