#pragma once

#include "../Media.h"

namespace platform {

// Media events on demand.
class FakeMedia : public Media
{
public:
    bool watchResult = true;
    bool watching = false;

    bool watch(std::function<void(Event)> onChange) override
    {
        if (!watchResult)
            return false;
        m_onChange = std::move(onChange);
        watching = true;
        return true;
    }
    void unwatch() override
    {
        watching = false;
        m_onChange = nullptr;
    }
    // False when nobody watches.
    bool emitEvent(Event event)
    {
        if (!watching || !m_onChange)
            return false;
        auto report = m_onChange;
        report(event);
        return true;
    }

private:
    std::function<void(Event)> m_onChange;
};

} // namespace platform
