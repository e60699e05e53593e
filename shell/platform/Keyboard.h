#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace platform {

// System-wide keyboard access. Key codes are Windows virtual-key codes.
class Keyboard
{
public:
    virtual ~Keyboard() = default;

    // Swallows Alt+Tab, Alt+Esc, Ctrl+Esc, the left Windows key and every given
    // key (with any modifiers) in every application, on press and release.
    // Calling it again replaces the key set. False when nothing could be grabbed.
    virtual bool installKeyGrabs(const QList<int> &virtualKeys) = 0;
    virtual void removeKeyGrabs() = 0;

    // The combinations ("Alt+Tab", "key 172 (XF86HomePage)", ...) that another
    // program holds, so the last installKeyGrabs could not take them.
    virtual QStringList refusedGrabs() const { return {}; }

    // Takes the whole keyboard: every key press is reported until Escape,
    // which ends the capture (and is swallowed); then onFinished runs. Keys
    // without a virtual-key code are not reported. False when the keyboard
    // could not be taken (no display, another program holds it).
    virtual bool startCapture(std::function<void(int virtualKey)> onKey,
                              std::function<void()> onFinished) = 0;
    // Ends a capture without calling onFinished.
    virtual void stopCapture() = 0;

    // Hears every key typed in any program, as a token ("<enter>", "<pause>",
    // ...) or the typed character; never swallows. Keys that type nothing
    // arrive as "<Key:NAME>".
    virtual bool startTypingMonitor(std::function<void(const QString &key)> onKey) = 0;
    virtual void stopTypingMonitor() = 0;
};

} // namespace platform
