#pragma once

#include "../Power.h"

#include <QStringList>

#include <vector>

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
    void onResume(std::function<void()> resumed) override { m_resumed.push_back(std::move(resumed)); }
    // The machine wakes.
    void resume()
    {
        for (const auto &resumed : m_resumed)
            resumed();
    }

private:
    std::vector<std::function<void()>> m_resumed;

    bool record(const QString &what)
    {
        calls.append(what);
        return true;
    }
};

} // namespace platform
