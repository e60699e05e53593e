#include "PlayTime.h"

#include "base/Prompts.h"
#include "base/ShutDown.h"
#include "base/modGlobals.h"
#include "platform/Services.h"

#include <Clock.h>
#include <SettingsStore.h>
#include <SingleInstance.h>
#include <Tones.h>
#include <VbNumber.h>

#include <QTimer>

#include <algorithm>
#include <limits>

using namespace modGlobals;

namespace {

const QString TimeLimit = QStringLiteral("TimeLimit");
const QString Beeper = QStringLiteral("Beeper");

QString get(const QString &section, const QString &key, const QString &defaultValue = QString())
{
    return SettingsStore::GetSetting(AppTitle, section, key, defaultValue);
}

void put(const QString &section, const QString &key, const QString &value)
{
    SettingsStore::SaveSetting(AppTitle, section, key, value);
}

qint64 clampToInt32(qint64 value)
{
    return std::clamp<qint64>(value, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max());
}

// Whole seconds of a stored quantity; an absurd value stays within 32 bits.
qint64 wholeSeconds(double seconds)
{
    const double bound = std::numeric_limits<qint32>::max();
    return clampToInt32(VbNumber::RoundHalfEven(std::clamp(seconds, -bound - 1.0, bound)));
}

} // namespace

PlayTime::PlayTime(Prompts &prompts, QObject *parent)
    : QObject(parent)
    , m_prompts(prompts)
{
    setObjectName(QStringLiteral("PlayTime"));
    PlaytimeTimer = new QTimer(this);
    PlaytimeTimer->setObjectName(QStringLiteral("PlaytimeTimer"));
    PlaytimeTimer->setInterval(500);
    PlaytimeTimer->setTimerType(Qt::PreciseTimer);
    connect(PlaytimeTimer, &QTimer::timeout, this, &PlayTime::Tick);
}

qint64 PlayTime::LimitSeconds()
{
    const double steps = VbNumber::Val(get(TimeLimit, QStringLiteral("PlayTime"), QStringLiteral("0")));
    return wholeSeconds(steps * 5.0 * 60.0);
}

qint64 PlayTime::WarnSeconds()
{
    const double index = VbNumber::Val(get(TimeLimit, QStringLiteral("WarnTime"), QStringLiteral("9")));
    return wholeSeconds((index + 1.0) * 5.0);
}

QString PlayTime::BeeperProgram()
{
    return AppPath() + QStringLiteral("beeper/beeper");
}

QString PlayTime::BeeperFolder()
{
    return AppPath() + QStringLiteral("beeper/");
}

bool PlayTime::BeeperRunning() const
{
    // A copy we started that is still alive counts too: it takes the lock a
    // moment after its start, and a second copy must not be started meanwhile.
    if (m_beeperPid != 0 && platform::Services::processes().isRunning(m_beeperPid))
        return true;
    // "Running" stays "1" when beeper was killed; only the lock dies with it.
    if (VbNumber::Val(get(Beeper, QStringLiteral("Running"), QStringLiteral("0"))) == 0.0)
        return false;
    return SingleInstance::isHeld(QStringLiteral("beeper"), AppPath());
}

void PlayTime::startBeeper()
{
    // A missing program fails quietly; the limit still applies.
    m_beeperPid = platform::Services::processes().shellOpen(BeeperProgram(), QString(), BeeperFolder());
}

void PlayTime::setTimeLeft(qint64 seconds)
{
    TimeLeftSeconds = qint32(clampToInt32(seconds));
}

// "LastInit" such that exactly `remaining` seconds are left of the period.
void PlayTime::anchorPeriod(qint64 remaining, qint64 limit)
{
    const QDateTime start = Clock::now().addSecs(remaining - limit);
    put(TimeLimit, QStringLiteral("LastInit"), SettingsStore::FormatDate(start));
}

void PlayTime::Tick()
{
    const qint64 limit = LimitSeconds();
    const qint64 warn = WarnSeconds();
    const qint32 action = VbNumber::ValInt(get(TimeLimit, QStringLiteral("Action"), QStringLiteral("0")));
    const bool beep = VbNumber::Val(get(TimeLimit, QStringLiteral("Beep"), QStringLiteral("1"))) == 1.0;
    // A negative count is no limit either, not an expiry at once.
    if (m_clockPaused || limit < 1)
        return;

    qint64 remaining = 0;
    const QDateTime lastInit = SettingsStore::ParseDate(get(TimeLimit, QStringLiteral("LastInit")));
    if (lastInit.isValid()) {
        remaining = limit - lastInit.secsTo(Clock::now());
        // A start in the future (clock set back, or a limit lowered since the
        // time was stored) must not give more than one full period.
        if (remaining > limit) {
            remaining = limit;
            anchorPeriod(remaining, limit);
        }
    } else {
        // Unreadable or missing: neither end the program nor hand out a fresh
        // period; go on from what was counted last. Only when nothing was
        // counted yet (the limit was just switched on) does a period begin now.
        remaining = m_counted ? std::min<qint64>(TimeLeftSeconds, limit) : limit;
        anchorPeriod(remaining, limit);
    }

    if (beep && remaining > -1 && remaining <= warn) {
        if (!BeeperRunning()) {
            put(Beeper, QStringLiteral("Interval"), QStringLiteral("500"));
            put(Beeper, QStringLiteral("Quit"), QStringLiteral("0"));
            put(Beeper, QStringLiteral("BeepType"), remaining > 11 ? QStringLiteral("0") : QStringLiteral("1"));
            startBeeper();
        } else if (remaining < 12) {
            put(Beeper, QStringLiteral("BeepType"), QStringLiteral("1"));
        }
    }

    setTimeLeft(remaining);
    m_counted = true;
    if (remaining < 1)
        expire(action);
}

void PlayTime::expire(qint32 action)
{
    PlaytimeTimer->stop();
    Tones::Beep(800, 100);
    Tones::Beep(2500, 200);
    Tones::Beep(2500, 200);
    Tones::Beep(800, 100);
    if (action != 0)
        return; // only the clock stops
    if (!DebugMode && VbNumber::Val(get(TimeLimit, QStringLiteral("Shutdown"), QStringLiteral("-1"))) == -1.0) {
        if (ShutDown::PowerOffAfterTimeOut())
            return;
    }
    emit quitRequested();
}

void PlayTime::ResetTime()
{
    put(TimeLimit, QStringLiteral("LastInit"), SettingsStore::FormatDate(Clock::now()));
    put(Beeper, QStringLiteral("Quit"), QStringLiteral("1"));
    // The new period is also what a quit stores and what a resumed pause
    // continues from, even while the clock is stopped.
    const qint64 limit = LimitSeconds();
    if (limit >= 1) {
        setTimeLeft(limit);
        m_counted = true;
    }
    Tones::Beep(2000, 50);
    Tones::Beep(1000, 50);
    Tones::Beep(2000, 50);
}

void PlayTime::PauseTimer(bool pause)
{
    if (pause && !m_clockPaused) {
        put(Beeper, QStringLiteral("Quit"), QStringLiteral("0"));
        put(Beeper, QStringLiteral("BeepType"), QStringLiteral("2"));
        put(Beeper, QStringLiteral("Interval"), QStringLiteral("1000"));
        // A running beeper takes the new values; the second copy ends at once.
        startBeeper();
        m_clockPaused = true;
    } else if (!pause && m_clockPaused) {
        put(Beeper, QStringLiteral("Quit"), QStringLiteral("1"));
        put(Beeper, QStringLiteral("Interval"), QStringLiteral("500"));
        anchorPeriod(TimeLeftSeconds, LimitSeconds());
        m_clockPaused = false;
    }
}

void PlayTime::KeyTyped(const QString &key)
{
    if (m_clockPaused)
        PauseTimer(false);

    const QString reset = SS.Password.isEmpty() ? QString() : QStringLiteral("rt") + SS.Password.toLower();
    const QString pause = QStringLiteral("<pause>");

    m_typedBuffer += key;
    // Case-sensitive on purpose: capitals typed with Shift or Caps Lock do not match.
    if (!reset.startsWith(m_typedBuffer) && !pause.startsWith(m_typedBuffer)) {
        m_typedBuffer.clear();
        return;
    }
    const QString typed = m_typedBuffer.toLower();
    if (!reset.isEmpty() && typed == reset)
        ResetTime();
    else if (typed == pause)
        PauseTimer(true);
}

PlayTime::StartupAction PlayTime::StartupCheck()
{
    TimeLeftSeconds = VbNumber::ValInt(get(TimeLimit, QStringLiteral("TimeLeft"), QStringLiteral("-1")));
    const qint64 limit = LimitSeconds();
    const qint64 warn = WarnSeconds();
    m_counted = false;
    if (limit < 1)
        return StartupAction::Continue;
    m_counted = true;

    if (TimeLeftSeconds > warn) {
        WriteLog(QStringLiteral("frmMenu()::Save new timelimit."));
        // A limit lowered since the last run caps what is left.
        if (TimeLeftSeconds > limit)
            setTimeLeft(limit);
        anchorPeriod(TimeLeftSeconds, limit);
        return StartupAction::Continue;
    }

    for (;;) {
        WriteLog(QStringLiteral("frmMenu()::Time Expired, show expiry dialog. - Time left:")
                 + QString::number(TimeLeftSeconds));
        // A quit (log-out) while it is up must not bring it back again.
        const std::optional<Prompts::ExpiredAnswer> answer = m_prompts.askTimeExpired();
        if (!answer)
            return StartupAction::StartUnload;
        if (answer->shutDown)
            break;
        if (PasswordOK(m_prompts, answer->password, true)) {
            WriteLog(QStringLiteral("frmMenu()::Reset timer."));
            put(TimeLimit, QStringLiteral("LastInit"), SettingsStore::FormatDate(Clock::now()));
            setTimeLeft(limit);
            return StartupAction::Continue;
        }
        WriteLog(QStringLiteral("frmMenu()::Bad time-out password, asking again."));
    }

    if (DebugMode) {
        WriteLog(QStringLiteral("frmMenu()::Continuing after time-out!"));
        return StartupAction::Continue;
    }
    if (VbNumber::Val(get(TimeLimit, QStringLiteral("Shutdown"), QStringLiteral("-1"))) == -1.0) {
        WriteLog(QStringLiteral("frmMenu()::Initialize Shutdown, time-out!"));
        return StartupAction::StartShutdown;
    }
    WriteLog(QStringLiteral("frmMenu()::Initialize Quit, time-out!"));
    return StartupAction::StartUnload;
}

void PlayTime::StartClock()
{
    WriteLog(QStringLiteral("frmMenu()::Initialize playtime-timerobject."));
    PlaytimeTimer->start();
}

void PlayTime::StopClock()
{
    PlaytimeTimer->stop();
}

void PlayTime::EditModeEntered()
{
    PlaytimeTimer->stop();
}

void PlayTime::EditModeLeaving()
{
    if (VbNumber::Val(get(TimeLimit, QStringLiteral("PlayTime"), QStringLiteral("0"))) > 0.0) {
        const int answer = platform::Services::dialogs().msgBox(
            QStringLiteral("Reset timer?"), platform::Msg::Question | platform::Msg::YesNo);
        if (answer == platform::Msg::Yes) {
            put(TimeLimit, QStringLiteral("LastInit"), SettingsStore::FormatDate(Clock::now()));
            const qint64 limit = LimitSeconds();
            if (limit >= 1) {
                setTimeLeft(limit);
                m_counted = true;
            }
        }
    }
    PlaytimeTimer->start();
}
