// Temporary until the EWMH realisation lands: no other windows are known.
#include "LinuxServices.h"

namespace platform::linuxsvc {
namespace {
class NoWindows : public Windows
{
public:
    WindowId findMainWindow(Pid) override { return 0; }
    void setAppFocus(Pid) override {}
    void activateWindow(WindowId) override {}
    WindowId foregroundWindow() override { return 0; }
    void requestClose(WindowId) override {}
    void sendAltF4() override {}
    bool isResponding(WindowId, int) override { return true; }
    QString windowTitle(WindowId) override { return {}; }
    QList<TopLevel> topLevelWindows() override { return {}; }
    void setTopMost(QWidget *, bool) override {}
};
} // namespace
std::unique_ptr<Windows> createWindows() { return std::make_unique<NoWindows>(); }
} // namespace platform::linuxsvc
