#include "base/Prompts.h"

#include "base/modGlobals.h"

namespace {

bool matchesParentPassword(const QString &text)
{
    return text.compare(modGlobals::SS.Password, Qt::CaseInsensitive) == 0;
}

} // namespace

bool PasswordOK(Prompts &prompts, const QString &text, bool noDialog)
{
    if (modGlobals::SS.Password.isEmpty())
        return true;
    if (noDialog || !text.isEmpty())
        return matchesParentPassword(text);
    for (;;) {
        const std::optional<QString> typed = prompts.askPassword();
        if (!typed)
            return false;
        if (matchesParentPassword(*typed))
            return true;
    }
}
