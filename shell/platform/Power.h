#pragma once

#include <functional>

namespace platform {

// Ending the session or the machine (systemd-logind). True when the request was accepted.
class Power
{
public:
    virtual ~Power() = default;
    virtual bool powerOff() = 0;
    virtual bool reboot() = 0;
    virtual bool logOff() = 0;
    virtual bool lockSession() = 0;
    // resumed runs on the UI thread whenever the machine has woken from
    // sleep; the watch starts with the first call.
    virtual void onResume(std::function<void()> resumed) = 0;
};

} // namespace platform
