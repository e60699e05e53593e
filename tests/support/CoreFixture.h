#pragma once

#include "ScriptedPrompts.h"
#include "TestEnv.h"

#include "base/modGlobals.h"
#include "data/SettingsFile.h"
#include "platform/ScriptedDialogs.h"
#include "platform/Services.h"
#include "platform/fakes/FakeDesktop.h"
#include "platform/fakes/FakeDisplay.h"
#include "platform/fakes/FakeKeyboard.h"
#include "platform/fakes/FakeMedia.h"
#include "platform/fakes/FakePower.h"
#include "platform/fakes/FakeProcesses.h"
#include "platform/fakes/FakeSound.h"
#include "platform/fakes/FakeWindows.h"

#include <Clock.h>
#include <SettingsStore.h>
#include <Tones.h>

#include <QPair>

#include <memory>

// A switch-off that the test can have refused.
class FixturePower : public platform::FakePower
{
public:
    bool accept = true;
    bool powerOff() override { return FakePower::powerOff() && accept; }
    int powerOffs() const { return int(calls.count(QStringLiteral("poweroff"))); }
};

using Tone = QPair<int, int>; // frequency, milliseconds

class ToneRecorder : public Tones::Sink
{
public:
    explicit ToneRecorder(std::shared_ptr<QList<Tone>> log) : m_log(std::move(log)) {}
    void play(int frequency, int milliseconds) override { m_log->append({frequency, milliseconds}); }

private:
    std::shared_ptr<QList<Tone>> m_log;
};

// The shell's world for one test: a program folder and settings store of its
// own, the state block holding a fresh configuration, every platform service
// and dialog scripted, and the tones recorded. All of it goes back on
// destruction.
class CoreFixture
{
public:
    CoreFixture()
    {
        modGlobals::Reset();
        modGlobals::SetAppPath(env.programFolder());
        SettingsFile::MakeClearState(modGlobals::SS);
        processes = installFake<platform::FakeProcesses>();
        windows = installFake<platform::FakeWindows>();
        display = installFake<platform::FakeDisplay>();
        power = installFake<FixturePower>();
        sound = installFake<platform::FakeSound>();
        installFake<platform::FakeDesktop>();
        keyboard = installFake<platform::FakeKeyboard>();
        installFake<platform::FakeMedia>();
        dialogs = installFake<platform::ScriptedDialogs>();
        Tones::setSink(std::make_unique<ToneRecorder>(tones));
    }
    ~CoreFixture()
    {
        platform::Services::reset();
        Tones::setSink(nullptr);
        Clock::reset();
        modGlobals::Reset();
    }
    CoreFixture(const CoreFixture &) = delete;
    CoreFixture &operator=(const CoreFixture &) = delete;

    // A value of the shell's settings store.
    static QString value(const QString &section, const QString &key)
    {
        return SettingsStore::GetSetting(QStringLiteral("Brindle"), section, key);
    }
    static void setValue(const QString &section, const QString &key, const QString &text)
    {
        SettingsStore::SaveSetting(QStringLiteral("Brindle"), section, key, text);
    }

    TestEnv env;
    platform::FakeProcesses *processes = nullptr;
    platform::FakeWindows *windows = nullptr;
    platform::FakeDisplay *display = nullptr;
    FixturePower *power = nullptr;
    platform::FakeSound *sound = nullptr;
    platform::FakeKeyboard *keyboard = nullptr;
    platform::ScriptedDialogs *dialogs = nullptr;
    ScriptedPrompts prompts;
    std::shared_ptr<QList<Tone>> tones = std::make_shared<QList<Tone>>();

private:
    // Hands the stand-in back, for the test to script it and read what it was asked.
    template<typename Fake>
    static Fake *installFake()
    {
        auto fake = std::make_unique<Fake>();
        Fake *kept = fake.get();
        platform::Services::set(std::move(fake));
        return kept;
    }
};
