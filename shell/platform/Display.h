#pragma once

#include <QList>

namespace platform {

struct DisplayMode {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    int refreshRate = 0; // Hz, rounded

    bool operator==(const DisplayMode &) const = default;
};

// Screen modes of the primary output.
class Display
{
public:
    virtual ~Display() = default;
    virtual QList<DisplayMode> modes() = 0;
    virtual DisplayMode current() = 0;
    // True when the mode is now in force.
    virtual bool setMode(const DisplayMode &mode) = 0;
};

} // namespace platform
