#include "base/Prompts.h"

#include "base/ParentPassword.h"

bool PasswordOK(Prompts &prompts, const QString &text, bool noDialog)
{
    if (!ParentPassword::IsSet())
        return true;
    if (noDialog || !text.isEmpty())
        return ParentPassword::Matches(text);
    for (;;) {
        const std::optional<QString> typed = prompts.askPassword();
        if (!typed)
            return false;
        if (ParentPassword::Matches(*typed))
            return true;
    }
}
