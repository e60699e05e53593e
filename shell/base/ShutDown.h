#pragma once

// Ending the session or the machine, and screen modes.
namespace ShutDown {

// The Windows exit flags the stored data and callers use.
enum ExitFlags {
    EWX_LOGOFF = 0,
    EWX_SHUTDOWN = 1,
    EWX_REBOOT = 2,
    EWX_FORCE = 4,
    EWX_POWEROFF = 8,
};

void EnableShutdownPrivilege();

bool PowerOffPC();

// The power-off that ends play time. When it is refused (no permission to
// switch off) it says so in the log; the caller then quits, so play still ends.
bool PowerOffAfterTimeOut();
bool ExitWindowsWith(int flags);

// Switches the primary screen to the first mode with exactly this size and
// colour depth. A negative frequency keeps the mode's own rate and is set to
// 0. Returns 0 on success, -1 when nothing matched or the change failed.
int ChangeDisplayMode(int width, int height, int bitsPerPixel, int &frequency);

void StopSound();

} // namespace ShutDown
