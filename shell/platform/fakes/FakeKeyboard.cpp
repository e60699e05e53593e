#include "FakeKeyboard.h"

namespace platform {

bool FakeKeyboard::press(int virtualKey)
{
    if (!capturing)
        return false;
    if (virtualKey != 27) {
        const auto report = m_onKey; // the report may stop the capture
        report(virtualKey);
        return true;
    }
    const auto done = std::move(m_onFinished);
    stopCapture();
    if (done)
        done();
    return true;
}

bool FakeKeyboard::installKeyGrabs(const QList<int> &virtualKeys)
{
    installs.append(virtualKeys);
    grabbing = installResult;
    grabbedKeys = installResult ? virtualKeys : QList<int>();
    return installResult;
}

void FakeKeyboard::removeKeyGrabs()
{
    ++removals;
    grabbing = false;
    grabbedKeys.clear();
}

bool FakeKeyboard::startCapture(std::function<void(int)> onKey, std::function<void()> onFinished)
{
    if (!captureResult)
        return false;
    m_onKey = std::move(onKey);
    m_onFinished = std::move(onFinished);
    capturing = true;
    return true;
}

void FakeKeyboard::stopCapture()
{
    capturing = false;
    m_onKey = nullptr;
    m_onFinished = nullptr;
}

} // namespace platform
