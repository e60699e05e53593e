#include "PlayTime.h"

#include "playtime/DayRules.h"

#include "base/ParentPassword.h"
#include "base/Prompts.h"
#include "base/ShutDown.h"
#include "base/TimeLimitStore.h"
#include "base/modGlobals.h"
#include "platform/Services.h"

#include <Clock.h>
#include <SettingsStore.h>
#include <SingleInstance.h>
#include <Tones.h>
#include <VbNumber.h>

#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <limits>

using namespace modGlobals;

namespace {

const QString TimeLimit = QStringLiteral("TimeLimit");
const QString Beeper = QStringLiteral("Beeper");
// The run's state of the day's rules: when the current period began (a
// re-anchored "LastInit" may lie before it), its extra seconds, the lock.
const QString PeriodStart = QStringLiteral("PeriodStart");
const QString ExtraTime = QStringLiteral("ExtraTime");
const QString LockedKey = QStringLiteral("Locked");

QString get(const QString &section, const QString &key, const QString &defaultValue = QString(),
            bool *readable = nullptr)
{
    if (section == TimeLimit)
        return TimeLimitStore::Get(key, defaultValue, readable);
    return SettingsStore::GetSetting(AppTitle, section, key, defaultValue, readable);
}

// How often the remaining time is stored while it counts, so that an end
// without the orderly quit (killed, power button) gives back little time.
constexpr qint64 SaveEveryMs = 15000;

// The typed reset under the install's key: how long typing must pause before
// what follows "rt" is checked, and how much of it is kept.
constexpr int TypedCheckDelayMs = 1000;
constexpr int MaxTypedPassword = 64;

constexpr int MaxExtraMinutes = 600;
constexpr qint64 MaxExtraSeconds = 24 * 3600;
// The wall clock ran ahead of the steady clock by more than this: the PC slept.
constexpr qint64 WakeJumpMs = 30 * 1000;
constexpr qint64 LastMinute = 60;

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

// The limit in seconds of a "PlayTime" text: five-minute steps.
qint64 limitOf(const QString &steps)
{
    return wholeSeconds(VbNumber::Val(steps) * 5.0 * 60.0);
}

// The keys typed so far (the last one is key) may still become "rt" and the
// install's password: single lower-case characters after "rt", no more than
// a password holds.
bool mayBeKeyReset(const QString &typed, const QString &key)
{
    if (typed.size() <= 2)
        return QStringLiteral("rt").startsWith(typed);
    return typed.startsWith(QLatin1String("rt")) && key.size() == 1 && key == key.toLower()
           && typed.size() <= 2 + MaxTypedPassword;
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
    TypedResetTimer = new QTimer(this);
    TypedResetTimer->setObjectName(QStringLiteral("TypedResetTimer"));
    TypedResetTimer->setInterval(TypedCheckDelayMs);
    TypedResetTimer->setSingleShot(true);
    connect(TypedResetTimer, &QTimer::timeout, this, &PlayTime::checkTypedReset);
    DayTimer = new QTimer(this);
    DayTimer->setObjectName(QStringLiteral("DayTimer"));
    DayTimer->setSingleShot(true);
    DayTimer->setTimerType(Qt::PreciseTimer);
    connect(DayTimer, &QTimer::timeout, this, &PlayTime::CheckDay);
}

qint64 PlayTime::LimitSeconds(bool *readable)
{
    const QString steps = get(TimeLimit, QStringLiteral("PlayTime"), QStringLiteral("0"), readable);
    const std::optional<qint64> today = DayRules::FromStore(readable).DayLimitSeconds(Clock::now().date());
    return today ? *today : limitOf(steps);
}

qint64 PlayTime::WarnSeconds(bool *readable)
{
    const double index = VbNumber::Val(get(TimeLimit, QStringLiteral("WarnTime"), QStringLiteral("9"), readable));
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

// "LastInit" such that exactly `remaining` seconds are left of the period,
// and the same end on the steady clock, which counts on when the store fails.
void PlayTime::anchorPeriod(qint64 remaining, qint64 limit, SettingsStore::Change &change)
{
    m_endMs = Clock::steadyMs() + remaining * 1000;
    storeStart(remaining, limit, change);
}

void PlayTime::storeStart(qint64 remaining, qint64 limit, SettingsStore::Change &change)
{
    const QDateTime start = Clock::now().addSecs(remaining - limit);
    change.set(TimeLimit, QStringLiteral("LastInit"), SettingsStore::FormatDate(start));
}

void PlayTime::anchorAndStore(qint64 remaining, qint64 limit)
{
    SettingsStore::Change change(AppTitle);
    anchorPeriod(remaining, limit, change);
    m_startUnstored = !store(change);
}

// A full new period without ResetTime's tones.
void PlayTime::beginPeriod(qint64 limit)
{
    SettingsStore::Change change(AppTitle);
    anchorPeriod(limit, limit, change);
    markPeriodBegun(change);
    m_startUnstored = !store(change);
    endNotices();
}

// The store going bad and coming back is logged once each, not at every tick;
// the clock counts on from memory meanwhile.
bool PlayTime::store(const SettingsStore::Change &change)
{
    QString why;
    const bool stored = change.save(&why);
    if (stored == m_storeFailing)
        WriteLog(stored ? QStringLiteral("PlayTime()::The store takes writes again.")
                        : QStringLiteral("PlayTime()::") + why + QStringLiteral(", counting on in memory."));
    m_storeFailing = !stored;
    return stored;
}

void PlayTime::Tick()
{
    // What beeper, the settings dialog or the console wrote since the last tick.
    SettingsStore::Refresh(AppTitle);
    // A new period first, so that a wake past the daily start is no expiry.
    CheckDay();
    bool readable = true;
    const auto read = [&readable](const QString &key, const QString &defaultValue) {
        bool ok = true;
        const QString value = get(TimeLimit, key, defaultValue, &ok);
        readable = readable && ok;
        return value;
    };
    qint64 limit = LimitSeconds(&readable);
    qint64 warn = WarnSeconds(&readable);
    const qint32 action = VbNumber::ValInt(read(QStringLiteral("Action"), QStringLiteral("0")));
    bool beep = VbNumber::Val(read(QStringLiteral("Beep"), QStringLiteral("1"))) == 1.0;
    const QDateTime lastInit = SettingsStore::ParseDate(read(QStringLiteral("LastInit"), QString()));
    const QString shutdown = read(QStringLiteral("Shutdown"), QStringLiteral("-1"));
    // A store deleted or emptied while the shell runs holds no limit any
    // more: that stops nothing. The clock counts on from what was read last,
    // and the store is written again.
    const bool emptied = readable && !TimeLimitStore::Holds(QStringLiteral("PlayTime"));
    if (readable && !emptied) {
        m_known = {limit, warn, beep, shutdown};
    } else {
        // A store that cannot be read is no reason to stop counting.
        limit = m_known.limit;
        warn = m_known.warn;
        beep = m_known.beep;
    }
    // Extra time belongs to this period, not to the stored limit.
    limit = withExtra(limit);
    const std::optional<qint64> toClose = closingIn();
    if (m_clockPaused || m_locked) {
        endNotices();
        return;
    }
    // Whatever this tick changes goes to the store in one write.
    SettingsStore::Change change(AppTitle);
    // A negative count is no limit either, not an expiry at once.
    if (limit < 1) {
        m_secondsLeft = toClose ? *toClose : -1;
        if (!toClose) {
            endNotices();
            return;
        }
        // No limit today, but the allowed hours end.
        writeTick(change, false, beepWarning(*toClose, warn, beep, change));
        notices(*toClose, warn);
        if (*toClose < 1) {
            m_atBedtime = true;
            expire(action);
        }
        return;
    }
    bool anchored = false;
    if (emptied)
        restoreStore(change);

    qint64 remaining = 0;
    if (!readable || emptied || m_startUnstored) {
        // The store cannot be trusted: the period ends when the steady clock
        // says, and the store is brought back in line once it takes writes.
        const qint64 left = m_endMs ? *m_endMs - Clock::steadyMs() : qint64(TimeLeftSeconds) * 1000;
        remaining = std::min<qint64>(limit, (left + (left > 0 ? 999 : 0)) / 1000);
        if (!m_endMs)
            m_endMs = Clock::steadyMs() + remaining * 1000;
        if (readable) {
            storeStart(remaining, limit, change);
            anchored = true;
        }
    } else if (lastInit.isValid()) {
        remaining = limit - lastInit.secsTo(Clock::now());
        m_endMs = Clock::steadyMs() + limit * 1000 - lastInit.msecsTo(Clock::now());
        // A start in the future (clock set back, or a limit lowered since the
        // time was stored) must not give more than one full period.
        if (remaining > limit) {
            remaining = limit;
            anchorPeriod(remaining, limit, change);
            anchored = true;
        }
    } else {
        // Unreadable or missing: neither end the program nor hand out a fresh
        // period; go on from what was counted last. Only when nothing was
        // counted yet (the limit was just switched on) does a period begin now.
        remaining = m_counted ? std::min<qint64>(TimeLeftSeconds, limit) : limit;
        anchorPeriod(remaining, limit, change);
        anchored = true;
    }

    // Play ends with the period or with the allowed hours, whichever comes first.
    const qint64 left = toClose ? std::min(remaining, *toClose) : remaining;
    const bool beeperStarts = beepWarning(left, warn, beep, change);

    setTimeLeft(remaining);
    m_counted = true;
    m_secondsLeft = left;
    if (Clock::steadyMs() - m_savedAtMs >= SaveEveryMs)
        saveTimeLeft(change);
    writeTick(change, anchored, beeperStarts);
    notices(left, warn);
    if (left < 1) {
        m_atBedtime = remaining >= 1;
        expire(action);
    }
}

// True when beeper must start, which writeTick does after the write.
bool PlayTime::beepWarning(qint64 left, qint64 warn, bool beep, SettingsStore::Change &change)
{
    if (!beep || left < 0 || left > warn)
        return false;
    if (!BeeperRunning()) {
        change.set(Beeper, QStringLiteral("Interval"), QStringLiteral("500"))
            .set(Beeper, QStringLiteral("Quit"), QStringLiteral("0"))
            .set(Beeper, QStringLiteral("BeepType"), left > 11 ? QStringLiteral("0") : QStringLiteral("1"));
        return true;
    }
    if (left < 12)
        change.set(Beeper, QStringLiteral("BeepType"), QStringLiteral("1"));
    return false;
}

void PlayTime::writeTick(const SettingsStore::Change &change, bool anchored, bool beeperStarts)
{
    if (!change.isEmpty()) {
        const bool stored = store(change);
        if (anchored)
            m_startUnstored = !stored;
    }
    // Started after the write: beeper reads its values at once.
    if (beeperStarts)
        startBeeper();
}

void PlayTime::restoreStore(SettingsStore::Change &change)
{
    change.set(TimeLimit, QStringLiteral("PlayTime"), QString::number(double(m_known.limit) / 300.0))
        .set(TimeLimit, QStringLiteral("WarnTime"), QString::number(double(m_known.warn) / 5.0 - 1.0))
        .set(TimeLimit, QStringLiteral("Beep"), m_known.beep ? QStringLiteral("1") : QStringLiteral("0"))
        .set(TimeLimit, QStringLiteral("Shutdown"), m_known.shutdown);
}

void PlayTime::saveTimeLeft(SettingsStore::Change &change)
{
    m_savedAtMs = Clock::steadyMs();
    change.set(TimeLimit, QStringLiteral("TimeLeft"), QString::number(TimeLeftSeconds));
}

void PlayTime::expire(qint32 action)
{
    PlaytimeTimer->stop();
    m_expired = true;
    endNotices();
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

bool PlayTime::ResetTime(const QString &playTime)
{
    const bool newLimit = !playTime.isEmpty();
    // A weekday's own limit stays today's limit whatever "PlayTime" becomes.
    const bool dayLimit = DayRules::FromStore().DayLimitSeconds(Clock::now().date()).has_value();
    const qint64 limit = newLimit && !dayLimit ? limitOf(playTime) : LimitSeconds();
    SettingsStore::Change change(AppTitle);
    if (newLimit)
        change.set(TimeLimit, QStringLiteral("PlayTime"), playTime);
    change.set(Beeper, QStringLiteral("Quit"), QStringLiteral("1"));
    // The new period is also what a quit stores and what a resumed pause
    // continues from, even while the clock is stopped.
    const std::optional<qint64> endBefore = m_endMs;
    const qint64 extraBefore = m_extra;
    anchorPeriod(limit, limit, change);
    markPeriodBegun(change);
    const bool stored = store(change);
    if (!stored && newLimit) {
        // a limit that was not stored changes nothing
        m_endMs = endBefore;
        m_extra = extraBefore;
        return false;
    }
    m_startUnstored = !stored;
    endNotices();
    if (limit >= 1) {
        setTimeLeft(limit);
        m_counted = true;
    }
    Tones::Beep(2000, 50);
    Tones::Beep(1000, 50);
    Tones::Beep(2000, 50);
    return stored;
}

void PlayTime::PauseTimer(bool pause)
{
    SettingsStore::Change change(AppTitle);
    if (pause && !m_clockPaused) {
        change.set(Beeper, QStringLiteral("Quit"), QStringLiteral("0"))
            .set(Beeper, QStringLiteral("BeepType"), QStringLiteral("2"))
            .set(Beeper, QStringLiteral("Interval"), QStringLiteral("1000"));
        saveTimeLeft(change);
        store(change);
        // A running beeper takes the new values; the second copy ends at once.
        startBeeper();
        m_clockPaused = true;
        emit pausedChanged(true);
    } else if (!pause && m_clockPaused) {
        change.set(Beeper, QStringLiteral("Quit"), QStringLiteral("1"))
            .set(Beeper, QStringLiteral("Interval"), QStringLiteral("500"));
        bool readable = true;
        const qint64 limit = LimitSeconds(&readable);
        anchorPeriod(TimeLeftSeconds, withExtra(readable ? limit : m_known.limit), change);
        m_clockPaused = false;
        saveTimeLeft(change);
        m_startUnstored = !store(change);
        emit pausedChanged(false);
    }
}

void PlayTime::KeyTyped(const QString &key)
{
    // The key that ends a pause (the Pause key too) does only that.
    if (m_clockPaused) {
        PauseTimer(false);
        m_typedBuffer.clear();
        return;
    }

    const QString plain = ParentPassword::PlainLower();
    const QString reset = plain.isEmpty() ? QString() : QStringLiteral("rt") + plain;
    const QString pause = QStringLiteral("<pause>");
    // With only the install's key known there is no prefix to test: what
    // follows "rt" is kept and checked once typing pauses, since one check
    // takes a noticeable fraction of a second.
    const bool keyOnly = plain.isEmpty() && ParentPassword::IsSet();

    m_typedBuffer += key;
    TypedResetTimer->stop();
    // Case-sensitive on purpose: capitals typed with Shift or Caps Lock do not match.
    const bool keyCandidate = keyOnly && mayBeKeyReset(m_typedBuffer, key);
    if (!reset.startsWith(m_typedBuffer) && !pause.startsWith(m_typedBuffer) && !keyCandidate) {
        m_typedBuffer.clear();
        return;
    }
    if (keyCandidate && m_typedBuffer.size() > 2) {
        TypedResetTimer->start();
        return;
    }
    // A command typed in full starts the next one afresh (a pause ended by
    // a click leaves no key behind).
    const QString typed = m_typedBuffer.toLower();
    if (!reset.isEmpty() && typed == reset) {
        m_typedBuffer.clear();
        ResetTime();
    } else if (typed == pause && !m_locked) {
        m_typedBuffer.clear();
        PauseTimer(true);
    }
}

void PlayTime::checkTypedReset()
{
    if (m_typedBuffer.size() <= 2 || !m_typedBuffer.startsWith(QLatin1String("rt")))
        return;
    const QString typed = m_typedBuffer.mid(2);
    // A pause ends an attempt: the parent starts again with "rt".
    m_typedBuffer.clear();
    if (ParentPassword::PlainLower().isEmpty() && ParentPassword::Matches(typed))
        ResetTime();
}

PlayTime::StartupAction PlayTime::StartupCheck()
{
    // A beeper left over from a run that did not end in order stops now.
    store(SettingsStore::Change(AppTitle).set(Beeper, QStringLiteral("Quit"), QStringLiteral("1")));
    TimeLeftSeconds = VbNumber::ValInt(get(TimeLimit, QStringLiteral("TimeLeft"), QStringLiteral("-1")));
    const QString extra = get(TimeLimit, ExtraTime);
    m_extra = extra.size() <= 6 && extra.toInt() > 0 ? std::min(qint64(extra.toInt()), MaxExtraSeconds) : 0;
    m_locked = get(TimeLimit, LockedKey) == QLatin1String("1");
    CheckDay();
    const qint64 limit = LimitSeconds();
    const qint64 warn = WarnSeconds();
    m_known = {limit, warn, VbNumber::Val(get(TimeLimit, QStringLiteral("Beep"), QStringLiteral("1"))) == 1.0,
               get(TimeLimit, QStringLiteral("Shutdown"), QStringLiteral("-1"))};
    m_counted = false;
    if (limit < 1 && playable(warn))
        return StartupAction::Continue;
    m_counted = limit >= 1;

    if (playable(warn)) {
        WriteLog(QStringLiteral("frmMenu()::Save new timelimit."));
        // A limit lowered since the last run caps what is left.
        if (TimeLeftSeconds > withExtra(limit))
            setTimeLeft(withExtra(limit));
        anchorAndStore(TimeLeftSeconds, withExtra(limit));
        return StartupAction::Continue;
    }

    m_asking = true;
    for (;;) {
        const std::optional<qint64> toClose = closingIn();
        m_atBedtime = toClose && *toClose <= warn;
        WriteLog(QStringLiteral("frmMenu()::Time Expired, show expiry dialog. - Time left:")
                 + QString::number(TimeLeftSeconds));
        emit bedtime(m_atBedtime);
        // A quit (log-out) while it is up must not bring it back again.
        const std::optional<Prompts::ExpiredAnswer> answer = m_prompts.askTimeExpired();
        if (!answer) {
            m_asking = false;
            return StartupAction::StartUnload;
        }
        if (answer->shutDown)
            break;
        // A new period at the daily start, or extra time from afar, came
        // while it was up: asked again while play is still not allowed.
        if (std::exchange(m_granted, false)) {
            if (!playable(warn))
                continue;
            m_asking = false;
            return StartupAction::Continue;
        }
        if (answer->released || PasswordOK(m_prompts, answer->password, true)) {
            WriteLog(QStringLiteral("frmMenu()::Reset timer."));
            m_asking = false;
            letOn(*answer, limit, warn);
            return StartupAction::Continue;
        }
        WriteLog(QStringLiteral("frmMenu()::Bad time-out password, asking again."));
    }
    m_asking = false;

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
    m_savedAtMs = Clock::steadyMs();
    startTicking();
    if (m_locked)
        emit lockChanged(true);
}

void PlayTime::StopClock()
{
    PlaytimeTimer->stop();
    DayTimer->stop();
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
            const qint64 limit = LimitSeconds();
            beginPeriod(limit);
            if (limit >= 1) {
                setTimeLeft(limit);
                m_counted = true;
            }
        }
    }
    startTicking();
}

// The parent's password (or release) in the start-up's time-expired dialog.
void PlayTime::letOn(const Prompts::ExpiredAnswer &answer, qint64 limit, qint64 warn)
{
    if (answer.extraMinutes > 0 && !answer.released && AddExtraTime(answer.extraMinutes))
        return;
    // Past the allowed hours, they open until their next end.
    const std::optional<qint64> toClose = closingIn();
    if (toClose && *toClose <= warn) {
        if (const std::optional<QDateTime> close = DayRules::FromStore().NextClose(Clock::now()))
            m_liftedUntil = *close;
    }
    if (limit >= 1 && (!m_atBedtime || TimeLeftSeconds <= warn)) {
        beginPeriod(limit);
        setTimeLeft(limit);
    } else if (limit >= 1) {
        anchorAndStore(TimeLeftSeconds, withExtra(limit));
    }
}

bool PlayTime::playable(qint64 warn) const
{
    const std::optional<qint64> toClose = closingIn();
    if (toClose && *toClose <= warn)
        return false;
    return LimitSeconds() < 1 || TimeLeftSeconds > warn;
}

std::optional<qint64> PlayTime::closingIn() const
{
    const QDateTime now = Clock::now();
    std::optional<qint64> toClose = DayRules::FromStore().SecondsToClose(now);
    if (toClose && m_liftedUntil.isValid() && m_liftedUntil > now)
        toClose = std::max(*toClose, now.secsTo(m_liftedUntil));
    return toClose;
}

bool PlayTime::CheckDay()
{
    const qint64 wallAheadMs = Clock::now().toMSecsSinceEpoch() - Clock::steadyMs();
    if (m_wallAheadMs && wallAheadMs - *m_wallAheadMs > WakeJumpMs)
        WriteLog(QStringLiteral("PlayTime()::Woke after %1 s.").arg((wallAheadMs - *m_wallAheadMs) / 1000));
    m_wallAheadMs = wallAheadMs;
    const bool began = beginDailyPeriod();
    armDayTimer();
    if (!began)
        return false;
    // An expiry that only stopped the clock counts again.
    if (std::exchange(m_expired, false))
        startTicking();
    grantWhileAsking();
    return true;
}

void PlayTime::startTicking()
{
    PlaytimeTimer->start();
    emit ticking();
}

void PlayTime::armDayTimer()
{
    const QDateTime now = Clock::now();
    const std::optional<QDateTime> next = DayRules::FromStore().NextDailyStart(now);
    if (!next) {
        DayTimer->stop();
        return;
    }
    // The timer runs on the steady clock, which stands still while the
    // machine sleeps: a wake sets it again from the wall clock.
    if (!std::exchange(m_watchingResume, true)) {
        platform::Services::power().onResume([self = QPointer<PlayTime>(this)] {
            if (self)
                self->CheckDay();
        });
    }
    DayTimer->start(int(std::clamp<qint64>(now.msecsTo(*next), 1, std::numeric_limits<int>::max())));
}

bool PlayTime::beginDailyPeriod()
{
    const std::optional<QDateTime> dailyStart = DayRules::FromStore().LastDailyStart(Clock::now());
    if (!dailyStart)
        return false;
    QDateTime began = SettingsStore::ParseDate(get(TimeLimit, PeriodStart));
    if (!began.isValid())
        began = SettingsStore::ParseDate(get(TimeLimit, QStringLiteral("LastInit")));
    // A period whose start is not known is not renewed: no fresh period for
    // breaking the store.
    if (!began.isValid() || began >= *dailyStart)
        return false;
    WriteLog(QStringLiteral("PlayTime()::Daily start, new play period."));
    ResetTime();
    return true;
}

void PlayTime::markPeriodBegun(SettingsStore::Change &change)
{
    m_extra = 0;
    change.set(TimeLimit, PeriodStart, SettingsStore::FormatDate(Clock::now()))
        .set(TimeLimit, ExtraTime, QString::number(m_extra));
}

void PlayTime::grantWhileAsking()
{
    if (!m_asking)
        return;
    m_granted = true;
    emit releaseExpiredDialog();
}

bool PlayTime::AddExtraTime(int minutes)
{
    if (minutes < 1 || minutes > MaxExtraMinutes)
        return false;
    const qint64 seconds = qint64(minutes) * 60;
    // The allowed hours end that much later, or open that long when they are over.
    if (const std::optional<qint64> toClose = closingIn())
        m_liftedUntil = Clock::now().addSecs(*toClose + seconds);
    bool readable = true;
    const qint64 limit = LimitSeconds(&readable);
    if ((readable ? limit : m_known.limit) >= 1) {
        // Counted from the end of the period, or from now when it is over.
        const qint64 overdue = std::max<qint64>(0, -qint64(TimeLeftSeconds));
        const qint64 extra = std::min(MaxExtraSeconds, m_extra + overdue + seconds);
        setTimeLeft(qint64(TimeLeftSeconds) + extra - m_extra);
        m_extra = extra;
        SettingsStore::Change change(AppTitle);
        change.set(TimeLimit, ExtraTime, QString::number(m_extra));
        anchorPeriod(TimeLeftSeconds, withExtra(readable ? limit : m_known.limit), change);
        saveTimeLeft(change);
        m_startUnstored = !store(change);
    }
    WriteLog(QStringLiteral("PlayTime()::%1 minutes of extra time.").arg(minutes));
    endNotices();
    if (std::exchange(m_expired, false))
        startTicking();
    grantWhileAsking();
    return true;
}

void PlayTime::Lock(bool locked)
{
    if (locked == m_locked)
        return;
    SettingsStore::Change change(AppTitle);
    bool anchored = false;
    if (locked) {
        PauseTimer(false);
        // Warning beeps make no sense behind the lock screen.
        change.set(Beeper, QStringLiteral("Quit"), QStringLiteral("1"));
        m_locked = true;
        endNotices();
    } else {
        m_locked = false;
        bool readable = true;
        const qint64 limit = LimitSeconds(&readable);
        anchored = (readable ? limit : m_known.limit) >= 1;
        if (anchored)
            anchorPeriod(TimeLeftSeconds, withExtra(readable ? limit : m_known.limit), change);
    }
    saveTimeLeft(change);
    // A lock that is not stored still holds until the shell ends.
    change.set(TimeLimit, LockedKey, locked ? QStringLiteral("1") : QStringLiteral("0"));
    const bool stored = store(change);
    if (anchored)
        m_startUnstored = !stored;
    WriteLog(locked ? QStringLiteral("PlayTime()::Locked.") : QStringLiteral("PlayTime()::Unlocked."));
    emit lockChanged(locked);
}

bool PlayTime::UnlockWithPassword(const QString &password)
{
    if (!PasswordOK(m_prompts, password, true))
        return false;
    Lock(false);
    return true;
}

bool PlayTime::CountdownOn()
{
    return get(TimeLimit, DayRules::CountdownKey, QStringLiteral("1")).trimmed() != QLatin1String("0");
}

void PlayTime::notices(qint64 left, qint64 warn)
{
    if (left > warn)
        m_noticeStage = 0;
    const int stage = left > warn ? 0 : (left <= LastMinute ? 2 : 1);
    if (stage > m_noticeStage) {
        m_noticeStage = stage;
        if (CountdownOn())
            emit countdownNotice(std::max<qint64>(left, 0));
    }
    const qint64 counter = left <= LastMinute ? std::max<qint64>(left, 0) : -1;
    if (counter != m_counterShown) {
        m_counterShown = counter;
        emit lastMinute(counter);
    }
}

void PlayTime::endNotices()
{
    m_noticeStage = 0;
    if (m_counterShown >= 0) {
        m_counterShown = -1;
        emit lastMinute(-1);
    }
}
