#pragma once

#include <QPoint>
#include <QRect>

#include <functional>
#include <optional>

class QWidget;

namespace platform {

// The shell's own top-level windows as the display server has them, which
// other programs can unmap, iconify or move behind Qt's back; and the whole
// keyboard and pointer, taken while play is paused.
class OwnWindows
{
public:
    virtual ~OwnWindows() = default;

    // From now on every unmapping, iconifying, moving or resizing of one of
    // our top-level windows calls changed, once the event has been handled.
    virtual void watch(std::function<void(QWidget *window)> changed) = 0;
    // The window's frame on the screen; no value while it is not shown there.
    virtual std::optional<QRect> frameOf(QWidget *window) = 0;
    // Maps the window again when it is not shown and, when a place is given,
    // puts its frame's top-left corner there.
    virtual void showAt(QWidget *window, std::optional<QPoint> frameTopLeft) = 0;

    // Takes the keyboard and the pointer from every program until
    // releaseInput; each mouse click then calls onClick (keys still reach the
    // typing monitor). False when another program holds either of them.
    virtual bool takeInput(std::function<void()> onClick) = 0;
    virtual void releaseInput() = 0;
};

} // namespace platform
