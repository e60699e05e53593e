#include "Services.h"

#include "linux/LinuxServices.h"

namespace platform::Services {
namespace {

template<typename T>
std::unique_ptr<T> &slot()
{
    static std::unique_ptr<T> instance;
    return instance;
}

template<typename T, typename Create>
T &get(Create create)
{
    auto &s = slot<T>();
    if (!s)
        s = create();
    return *s;
}

} // namespace

Processes &processes() { return get<Processes>(linuxsvc::createProcesses); }
Windows &windows() { return get<Windows>(linuxsvc::createWindows); }
Desktop &desktop() { return get<Desktop>(linuxsvc::createDesktop); }
Keyboard &keyboard() { return get<Keyboard>(linuxsvc::createKeyboard); }
Power &power() { return get<Power>(linuxsvc::createPower); }
Display &display() { return get<Display>(linuxsvc::createDisplay); }
Sound &sound() { return get<Sound>(linuxsvc::createSound); }
Dialogs &dialogs() { return get<Dialogs>(linuxsvc::createDialogs); }
Media &media() { return get<Media>(linuxsvc::createMedia); }
OwnWindows &ownWindows() { return get<OwnWindows>(linuxsvc::createOwnWindows); }

void set(std::unique_ptr<Processes> s) { slot<Processes>() = std::move(s); }
void set(std::unique_ptr<Windows> s) { slot<Windows>() = std::move(s); }
void set(std::unique_ptr<Desktop> s) { slot<Desktop>() = std::move(s); }
void set(std::unique_ptr<Keyboard> s) { slot<Keyboard>() = std::move(s); }
void set(std::unique_ptr<Power> s) { slot<Power>() = std::move(s); }
void set(std::unique_ptr<Display> s) { slot<Display>() = std::move(s); }
void set(std::unique_ptr<Sound> s) { slot<Sound>() = std::move(s); }
void set(std::unique_ptr<Dialogs> s) { slot<Dialogs>() = std::move(s); }
void set(std::unique_ptr<Media> s) { slot<Media>() = std::move(s); }
void set(std::unique_ptr<OwnWindows> s) { slot<OwnWindows>() = std::move(s); }

void reset()
{
    slot<Processes>().reset();
    slot<Windows>().reset();
    slot<Desktop>().reset();
    slot<Keyboard>().reset();
    slot<Power>().reset();
    slot<Display>().reset();
    slot<Sound>().reset();
    slot<Dialogs>().reset();
    slot<Media>().reset();
    slot<OwnWindows>().reset();
}

} // namespace platform::Services
