#pragma once

#include <functional>

namespace platform {

// Removable media appearing and disappearing (the mount table changing).
class Media
{
public:
    virtual ~Media() = default;
    enum Event { Inserted = 32, Removed = 64 };
    virtual bool watch(std::function<void(Event)> onChange) = 0;
    virtual void unwatch() = 0;
};

} // namespace platform
