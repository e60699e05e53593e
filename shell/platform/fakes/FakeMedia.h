#pragma once

#include "../Media.h"

namespace platform {

// No media ever comes or goes.
class FakeMedia : public Media
{
public:
    bool watch(std::function<void(Event)>) override { return true; }
    void unwatch() override {}
};

} // namespace platform
