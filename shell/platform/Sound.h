#pragma once

#include <QString>

namespace platform {

// Playing sound files (WAV).
class Sound
{
public:
    virtual ~Sound() = default;
    // At least one audio output exists.
    virtual bool hasOutput() = 0;
    // With wait, returns when the sound has ended, letting events run meanwhile.
    virtual void play(const QString &path, bool wait) = 0;
    virtual void stop() = 0;
    // The desktop's short warning sound, for a sound file that is missing.
    virtual void beep() = 0;
};

} // namespace platform
