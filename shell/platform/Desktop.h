#pragma once

namespace platform {

// The panel ("taskbar") and the desktop window of the running desktop.
class Desktop
{
public:
    virtual ~Desktop() = default;
    virtual void showTaskbar(bool show) = 0;
    virtual void showDesktop(bool show) = 0;
};

} // namespace platform
