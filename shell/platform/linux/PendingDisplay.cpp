// Temporary until the XRandR realisation lands.
#include "LinuxServices.h"

namespace platform::linuxsvc {
namespace {
class NoDisplay : public Display
{
public:
    QList<DisplayMode> modes() override { return {}; }
    DisplayMode current() override { return {}; }
    bool setMode(const DisplayMode &) override { return false; }
};
} // namespace
std::unique_ptr<Display> createDisplay() { return std::make_unique<NoDisplay>(); }
} // namespace platform::linuxsvc
