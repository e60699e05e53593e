#pragma once

#include "../Desktop.h"

#include <QStringList>

namespace platform {

// A desktop for tests: remembers every call in order ("taskbar hide",
// "desktop show", ...).
class FakeDesktop : public Desktop
{
public:
    QStringList calls;

    void showTaskbar(bool show) override
    {
        calls.append(show ? QStringLiteral("taskbar show") : QStringLiteral("taskbar hide"));
    }
    void showDesktop(bool show) override
    {
        calls.append(show ? QStringLiteral("desktop show") : QStringLiteral("desktop hide"));
    }
    void keepTaskbarHidden(bool keep) override
    {
        calls.append(keep ? QStringLiteral("taskbar kept hidden") : QStringLiteral("taskbar let be"));
    }
};

} // namespace platform
