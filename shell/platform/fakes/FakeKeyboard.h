#pragma once

#include "../Keyboard.h"

#include <QList>
#include <QStringList>

namespace platform {

// A keyboard for tests: records what the shell asks of it and lets the test
// press keys into a capture.
class FakeKeyboard : public Keyboard
{
public:
    // What installKeyGrabs answers and which combinations it reports refused.
    bool installResult = true;
    QStringList refused;
    bool captureResult = true;

    // What the shell did.
    QList<QList<int>> installs; // every installKeyGrabs call
    int removals = 0;
    bool grabbing = false;
    QList<int> grabbedKeys;
    bool capturing = false;

    // Reports a key to a running capture; Escape (27) ends it. False when no
    // capture runs.
    bool press(int virtualKey);

    bool installKeyGrabs(const QList<int> &virtualKeys) override;
    void removeKeyGrabs() override;
    QStringList refusedGrabs() const override { return refused; }
    bool startCapture(std::function<void(int)> onKey, std::function<void()> onFinished) override;
    void stopCapture() override;
    bool startTypingMonitor(std::function<void(const QString &)>) override { return true; }
    void stopTypingMonitor() override {}

private:
    std::function<void(int)> m_onKey;
    std::function<void()> m_onFinished;
};

} // namespace platform
