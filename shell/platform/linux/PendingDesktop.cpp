// Temporary until the X11 realisation lands.
#include "LinuxServices.h"

namespace platform::linuxsvc {
namespace {
class NoDesktop : public Desktop
{
public:
    void showTaskbar(bool) override {}
    void showDesktop(bool) override {}
};
class NoKeyboard : public Keyboard
{
public:
    bool installKeyGrabs(const QList<int> &) override { return false; }
    void removeKeyGrabs() override {}
    bool startCapture(std::function<void(int)>, std::function<void()>) override { return false; }
    void stopCapture() override {}
    bool startTypingMonitor(std::function<void(const QString &)>) override { return false; }
    void stopTypingMonitor() override {}
};
class NoMedia : public Media
{
public:
    bool watch(std::function<void(Event)>) override { return false; }
    void unwatch() override {}
};
} // namespace
std::unique_ptr<Desktop> createDesktop() { return std::make_unique<NoDesktop>(); }
std::unique_ptr<Keyboard> createKeyboard() { return std::make_unique<NoKeyboard>(); }
std::unique_ptr<Media> createMedia() { return std::make_unique<NoMedia>(); }
} // namespace platform::linuxsvc
