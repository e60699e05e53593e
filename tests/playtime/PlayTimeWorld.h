#pragma once

#include "TestEnv.h"

#include "base/modGlobals.h"
#include "platform/ScriptedDialogs.h"
#include "platform/Services.h"
#include "platform/fakes/FakeDesktop.h"
#include "platform/fakes/FakeDisplay.h"
#include "platform/fakes/FakeKeyboard.h"
#include "platform/fakes/FakePower.h"
#include "platform/fakes/FakeProcesses.h"
#include "platform/fakes/FakeSound.h"
#include "platform/fakes/FakeWindows.h"

#include <Clock.h>
#include <SettingsStore.h>
#include <Tones.h>

#include <QDateTime>
#include <QFile>
#include <QPair>
#include <QStringList>
#include <QWidget>

#include <memory>

namespace playtimetest {

// A switch-off that the test can have refused.
class Power : public platform::FakePower
{
public:
    bool accept = true;
    bool powerOff() override { return FakePower::powerOff() && accept; }
    int powerOffs() const { return int(calls.count(QStringLiteral("poweroff"))); }
};

// Also remembers which windows were made top-most, by object name.
class Windows : public platform::FakeWindows
{
public:
    QStringList topMost;
    void setTopMost(QWidget *window, bool onTop) override
    {
        FakeWindows::setTopMost(window, onTop);
        if (window && onTop)
            topMost.append(window->objectName());
    }
};

using Tone = QPair<int, int>; // frequency, milliseconds

class RecordingTones : public Tones::Sink
{
public:
    explicit RecordingTones(std::shared_ptr<QList<Tone>> log) : m_log(std::move(log)) {}
    void play(int frequency, int milliseconds) override { m_log->append({frequency, milliseconds}); }

private:
    std::shared_ptr<QList<Tone>> m_log;
};

inline const QList<Tone> ExpiryTones{{800, 100}, {2500, 200}, {2500, 200}, {800, 100}};
inline const QList<Tone> ResetTones{{2000, 50}, {1000, 50}, {2000, 50}};

// One test's world: its own program folder and store, a fixed clock, fake
// platform services and a tone recorder. Everything goes back on destruction.
class PlayTimeWorld
{
public:
    PlayTimeWorld()
    {
        modGlobals::Reset();
        modGlobals::SetAppPath(env.programFolder());
        processes = install(std::make_unique<platform::FakeProcesses>());
        power = install(std::make_unique<Power>());
        windows = install(std::make_unique<Windows>());
        dialogs = install(std::make_unique<platform::ScriptedDialogs>());
        install(std::make_unique<platform::FakeDesktop>());
        install(std::make_unique<platform::FakeKeyboard>());
        install(std::make_unique<platform::FakeDisplay>());
        install(std::make_unique<platform::FakeSound>());
        Tones::setSink(std::make_unique<RecordingTones>(tones));
        Clock::setNow(t0);
    }
    ~PlayTimeWorld()
    {
        platform::Services::reset();
        Tones::setSink(nullptr);
        Clock::reset();
        modGlobals::Reset();
    }
    PlayTimeWorld(const PlayTimeWorld &) = delete;
    PlayTimeWorld &operator=(const PlayTimeWorld &) = delete;

    static QString value(const QString &section, const QString &key)
    {
        return SettingsStore::GetSetting(QStringLiteral("Brindle"), section, key);
    }
    static void setValue(const QString &section, const QString &key, const QString &text)
    {
        SettingsStore::SaveSetting(QStringLiteral("Brindle"), section, key, text);
    }
    static QString timeLimit(const QString &key) { return value(QStringLiteral("TimeLimit"), key); }
    static QString beeper(const QString &key) { return value(QStringLiteral("Beeper"), key); }
    static void setTimeLimit(const QString &key, const QString &text) { setValue(QStringLiteral("TimeLimit"), key, text); }
    static void setBeeper(const QString &key, const QString &text) { setValue(QStringLiteral("Beeper"), key, text); }

    // A period of `steps` five-minute steps that began at t0.
    void beginPeriod(const QString &steps)
    {
        setTimeLimit(QStringLiteral("PlayTime"), steps);
        setTimeLimit(QStringLiteral("LastInit"), SettingsStore::FormatDate(t0));
    }
    // The clock `remaining` seconds before the end of a period of `limit` seconds begun at t0.
    void moveTo(qint64 limit, qint64 remaining) const { Clock::setNow(t0.addSecs(limit - remaining)); }

    static QDateTime storedLastInit() { return SettingsStore::ParseDate(timeLimit(QStringLiteral("LastInit"))); }

    // The start-up log of this test, without timestamps.
    QStringList logLines() const
    {
        QFile file(env.path(QStringLiteral("startup.log")));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QStringList lines;
        for (const QString &line : QString::fromLocal8Bit(file.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
            lines << line.section(QLatin1Char(' '), 2);
        return lines;
    }

    TestEnv env;
    const QDateTime t0{QDate(2024, 3, 5), QTime(10, 0, 0)};
    platform::FakeProcesses *processes = nullptr;
    Power *power = nullptr;
    Windows *windows = nullptr;
    platform::ScriptedDialogs *dialogs = nullptr;
    std::shared_ptr<QList<Tone>> tones = std::make_shared<QList<Tone>>();

private:
    template<typename T>
    static T *install(std::unique_ptr<T> service)
    {
        T *raw = service.get();
        platform::Services::set(std::move(service));
        return raw;
    }
};

} // namespace playtimetest
