#include "base/ParentPassword.h"

#include "base/modGlobals.h"

namespace ParentPassword {

namespace {

struct Derived {
    QString password; // lower case
    PasswordKey key;
};

Derived &cache()
{
    static Derived derived;
    return derived;
}

} // namespace

bool IsSet()
{
    return !modGlobals::SS.Password.isEmpty() || !modGlobals::Install.password.isNull();
}

bool Matches(const QString &typed)
{
    if (!modGlobals::SS.Password.isEmpty())
        return typed.compare(modGlobals::SS.Password, Qt::CaseInsensitive) == 0;
    return modGlobals::Install.password.matches(typed);
}

QString PlainLower()
{
    return modGlobals::SS.Password.toLower();
}

PasswordKey RemoteKey()
{
    const QString plain = PlainLower();
    if (plain.isEmpty())
        return modGlobals::Install.password;
    Derived &derived = cache();
    if (derived.key.isNull() || derived.password != plain)
        derived = {plain, PasswordKey::make(plain)};
    return derived.key;
}

} // namespace ParentPassword
