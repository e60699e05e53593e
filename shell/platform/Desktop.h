#pragma once

namespace platform {

// The panel ("taskbar") and the desktop window of the running desktop.
class Desktop
{
public:
    virtual ~Desktop() = default;
    virtual void showTaskbar(bool show) = 0;
    virtual void showDesktop(bool show) = 0;
    // While kept, a panel that shows itself again (mapped, a new panel window)
    // is hidden again as soon as the desktop reports it. Showing it ends that.
    virtual void keepTaskbarHidden(bool keep) = 0;
};

} // namespace platform
