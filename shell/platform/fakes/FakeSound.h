#pragma once

#include "../Sound.h"

#include <QStringList>

namespace platform {

// Sound for tests: an output that exists and a list of what was played.
class FakeSound : public Sound
{
public:
    QStringList played;

    bool hasOutput() override { return true; }
    void play(const QString &path, bool) override { played.append(path); }
    void stop() override {}
    void beep() override {}
};

} // namespace platform
