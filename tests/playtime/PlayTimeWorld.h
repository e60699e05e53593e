#pragma once

#include "PlayTimeFakes.h"
#include "TestEnv.h"

#include "modGlobals.h"
#include "platform/ScriptedDialogs.h"
#include "platform/Services.h"

#include <Clock.h>
#include <SettingsStore.h>

#include <QDateTime>
#include <QFile>
#include <QStringList>

namespace playtimetest {

// One test's world: its own program folder and store, a fixed clock, fake
// platform services and a tone recorder. Everything goes back on destruction.
class PlayTimeWorld
{
public:
    PlayTimeWorld()
    {
        modGlobals::Reset();
        modGlobals::SetAppPath(env.programFolder());
        auto p = std::make_unique<FakeProcesses>();
        processes = p.get();
        platform::Services::set(std::move(p));
        auto w = std::make_unique<FakePower>();
        power = w.get();
        platform::Services::set(std::move(w));
        auto win = std::make_unique<FakeWindows>();
        windows = win.get();
        platform::Services::set(std::move(win));
        auto d = std::make_unique<platform::ScriptedDialogs>();
        dialogs = d.get();
        platform::Services::set(std::move(d));
        platform::Services::set(std::make_unique<QuietDesktop>());
        platform::Services::set(std::make_unique<QuietKeyboard>());
        platform::Services::set(std::make_unique<FixedDisplay>());
        platform::Services::set(std::make_unique<SilentSound>());
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
    FakeProcesses *processes = nullptr;
    FakePower *power = nullptr;
    FakeWindows *windows = nullptr;
    platform::ScriptedDialogs *dialogs = nullptr;
    std::shared_ptr<QList<Tone>> tones = std::make_shared<QList<Tone>>();
};

} // namespace playtimetest
