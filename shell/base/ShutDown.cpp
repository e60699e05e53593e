#include "base/ShutDown.h"

#include "base/modGlobals.h"
#include "platform/Services.h"

namespace ShutDown {

void EnableShutdownPrivilege()
{
    // Nothing to enable on Linux: logind decides who may switch the machine off.
}

bool PowerOffPC()
{
    EnableShutdownPrivilege();
    return platform::Services::power().powerOff();
}

bool PowerOffAfterTimeOut()
{
    if (PowerOffPC())
        return true;
    modGlobals::WriteLog(QStringLiteral("frmMenu()::Power off refused, quitting after time-out!"));
    return false;
}

bool ExitWindowsWith(int flags)
{
    EnableShutdownPrivilege();
    auto &power = platform::Services::power();
    if (flags & EWX_REBOOT)
        return power.reboot();
    if (flags & (EWX_SHUTDOWN | EWX_POWEROFF))
        return power.powerOff();
    return power.logOff();
}

namespace {

// X keeps 24-bit colour in 32-bit pixels, so the 32 bits per pixel that
// Windows-made settings ask for is the same depth.
bool sameDepth(int screen, int requested)
{
    auto norm = [](int bits) { return bits == 32 ? 24 : bits; };
    return norm(screen) == norm(requested);
}

} // namespace

int ChangeDisplayMode(int width, int height, int bitsPerPixel, int &frequency)
{
    auto &display = platform::Services::display();
    const QList<platform::DisplayMode> modes = display.modes();
    for (const platform::DisplayMode &mode : modes) {
        if (!sameDepth(mode.bitsPerPixel, bitsPerPixel) || mode.width != width || mode.height != height)
            continue;
        platform::DisplayMode wanted = mode;
        if (frequency >= 0)
            wanted.refreshRate = frequency;
        else
            frequency = 0;
        return display.setMode(wanted) ? 0 : -1;
    }
    return -1;
}

void StopSound()
{
    platform::Services::sound().stop();
}

} // namespace ShutDown
