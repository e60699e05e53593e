#pragma once

#include "../Display.h"

#include <QList>

namespace platform {

// Screen modes for tests: a list of modes, the one in force, and every mode
// that was set.
class FakeDisplay : public Display
{
public:
    QList<DisplayMode> available{{1280, 1024, 24, 60}, {1024, 768, 24, 60}, {800, 600, 24, 75}};
    DisplayMode now{1280, 1024, 24, 60};
    QList<DisplayMode> set;

    QList<DisplayMode> modes() override { return available; }
    DisplayMode current() override { return now; }
    bool setMode(const DisplayMode &mode) override
    {
        set.append(mode);
        now = mode;
        return true;
    }
};

} // namespace platform
