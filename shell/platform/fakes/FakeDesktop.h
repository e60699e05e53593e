#pragma once

#include "../Desktop.h"

#include <QStringList>

namespace platform {

// A desktop for tests: remembers whether the panel and desktop are shown and
// every call in order ("taskbar hide", "desktop show", ...).
class FakeDesktop : public Desktop
{
public:
    bool taskbarShown = true;
    bool desktopShown = true;
    bool taskbarKeptHidden = false;
    QStringList calls;

    void showTaskbar(bool show) override
    {
        taskbarShown = show;
        calls.append(show ? QStringLiteral("taskbar show") : QStringLiteral("taskbar hide"));
    }
    void showDesktop(bool show) override
    {
        desktopShown = show;
        calls.append(show ? QStringLiteral("desktop show") : QStringLiteral("desktop hide"));
    }
    void keepTaskbarHidden(bool keep) override
    {
        taskbarKeptHidden = keep;
        calls.append(keep ? QStringLiteral("taskbar kept hidden") : QStringLiteral("taskbar let be"));
    }
};

} // namespace platform
