#include "base/TimeLimitStore.h"

#include "base/modGlobals.h"

#include <SettingsStore.h>

namespace TimeLimitStore {

namespace {

const QString Section = QStringLiteral("TimeLimit");

} // namespace

QString Get(const QString &key, const QString &defaultValue, bool *readable)
{
    const bool runState = key.compare(QLatin1String("LastInit"), Qt::CaseInsensitive) == 0
                          || key.compare(QLatin1String("TimeLeft"), Qt::CaseInsensitive) == 0;
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
