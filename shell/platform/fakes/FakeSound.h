#pragma once

#include "../Sound.h"

#include <QStringList>

namespace platform {

// Sound for tests: an output that exists and a list of what was played.
class FakeSound : public Sound
{
public:
    bool output = true;
    QStringList played;
    int stops = 0;
    int beeps = 0;

    bool hasOutput() override { return output; }
    void play(const QString &path, bool) override { played.append(path); }
    void stop() override { ++stops; }
    void beep() override { ++beeps; }
};

} // namespace platform
