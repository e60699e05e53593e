#pragma once

#include "../Desktop.h"

namespace platform {

// A desktop for tests: nothing to hide or give back.
class FakeDesktop : public Desktop
{
public:
    void showTaskbar(bool) override {}
    void showDesktop(bool) override {}
    void keepTaskbarHidden(bool) override {}
};

} // namespace platform
