#include "data/SettingsRecord.h"

#include <VbNumber.h>

#include <algorithm>

namespace {

// The list from 0 to bound, keeping what it held there.
VbList<QString> withBound(const VbList<QString> &list, qint32 bound)
{
    VbList<QString> grown;
    grown.redim(bound);
    for (qint32 i = 0; i <= bound; ++i)
        if (list.has(i))
            grown.at(i) = list.at(i);
    return grown;
}

} // namespace

void BUTTON::EnsureExtraStrings()
{
    if (ExtraCount >= MinExtraCount && ExtraStrings.upperBound() >= ExtraCount && ExtraStrings.has(0))
        return;
    ExtraCount = std::max(ExtraCount, MinExtraCount);
    ExtraStrings = withBound(ExtraStrings, ExtraCount);
}

void BUTTON::ResetShortExtraStrings()
{
    if (ExtraCount >= MinExtraCount)
        return;
    ExtraCount = MinExtraCount;
    ExtraStrings.redim(MinExtraCount);
}

ParentProgram SettingsRecord::Program(int which) const
{
    const auto slot = [this](int i) { return ShellCommands.has(i) ? ShellCommands.at(i) : QString(); };
    const int first = 3 * which;
    return {slot(first), slot(first + 1), VbNumber::Val(slot(first + 2)) == 1.0};
}

void SettingsRecord::SetProgram(int which, const ParentProgram &program)
{
    if (ShellCommandsMax < MinShellCommandsMax || ShellCommands.upperBound() < MinShellCommandsMax
        || !ShellCommands.has(0)) {
        ShellCommands = withBound(ShellCommands, MinShellCommandsMax);
        ShellCommandsMax = MinShellCommandsMax;
    }
    const int first = 3 * which;
    ShellCommands.at(first) = program.path;
    ShellCommands.at(first + 1) = program.arguments;
    ShellCommands.at(first + 2) = program.wait ? QStringLiteral("1") : QStringLiteral("0");
}

void SettingsRecord::ResetShortShellCommands()
{
    if (ShellCommandsMax >= MinShellCommandsMax)
        return;
    ShellCommandsMax = MinShellCommandsMax;
    ShellCommands.redim(MinShellCommandsMax);
}
