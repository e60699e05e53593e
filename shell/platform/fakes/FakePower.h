#pragma once

#include "../Power.h"

#include <QStringList>

namespace platform {

// Ending the session for tests: records "poweroff", "reboot", "logoff", "lock".
class FakePower : public Power
{
public:
    QStringList calls;
    bool powerOff() override { return record(QStringLiteral("poweroff")); }
    bool reboot() override { return record(QStringLiteral("reboot")); }
    bool logOff() override { return record(QStringLiteral("logoff")); }
    bool lockSession() override { return record(QStringLiteral("lock")); }

private:
    bool record(const QString &what)
    {
        calls.append(what);
        return true;
    }
};

} // namespace platform
