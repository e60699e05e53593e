#include "PlayTime.h"

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

#include <QTimer>

#include <algorithm>
#include <limits>

using namespace modGlobals;

namespace {

const QString TimeLimit = QStringLiteral("TimeLimit");
const QString Beeper = QStringLiteral("Beeper");

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
}

qint64 PlayTime::LimitSeconds(bool *readable)
{
    return limitOf(get(TimeLimit, QStringLiteral("PlayTime"), QStringLiteral("0"), readable));
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
    // A negative count is no limit either, not an expiry at once.
    if (m_clockPaused || limit < 1)
        return;
    // Whatever this tick changes goes to the store in one write.
    SettingsStore::Change change(AppTitle);
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

    bool beeperStarts = false;
    if (beep && remaining > -1 && remaining <= warn) {
        if (!BeeperRunning()) {
            change.set(Beeper, QStringLiteral("Interval"), QStringLiteral("500"))
                .set(Beeper, QStringLiteral("Quit"), QStringLiteral("0"))
                .set(Beeper, QStringLiteral("BeepType"), remaining > 11 ? QStringLiteral("0") : QStringLiteral("1"));
            beeperStarts = true;
        } else if (remaining < 12) {
            change.set(Beeper, QStringLiteral("BeepType"), QStringLiteral("1"));
        }
    }

    setTimeLeft(remaining);
    m_counted = true;
    if (Clock::steadyMs() - m_savedAtMs >= SaveEveryMs)
        saveTimeLeft(change);
    if (!change.isEmpty()) {
        const bool stored = store(change);
        if (anchored)
            m_startUnstored = !stored;
    }
    // Started after the write: beeper reads its values at once.
    if (beeperStarts)
        startBeeper();
    if (remaining < 1)
        expire(action);
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
    const qint64 limit = newLimit ? limitOf(playTime) : LimitSeconds();
    SettingsStore::Change change(AppTitle);
    if (newLimit)
        change.set(TimeLimit, QStringLiteral("PlayTime"), playTime);
    change.set(Beeper, QStringLiteral("Quit"), QStringLiteral("1"));
    // The new period is also what a quit stores and what a resumed pause
    // continues from, even while the clock is stopped.
    const std::optional<qint64> endBefore = m_endMs;
    anchorPeriod(limit, limit, change);
    const bool stored = store(change);
    if (!stored && newLimit) {
        m_endMs = endBefore; // a limit that was not stored changes nothing
        return false;
    }
    m_startUnstored = !stored;
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
    } else if (!pause && m_clockPaused) {
        change.set(Beeper, QStringLiteral("Quit"), QStringLiteral("1"))
            .set(Beeper, QStringLiteral("Interval"), QStringLiteral("500"));
        bool readable = true;
        const qint64 limit = LimitSeconds(&readable);
        anchorPeriod(TimeLeftSeconds, readable ? limit : m_known.limit, change);
        m_clockPaused = false;
        saveTimeLeft(change);
        m_startUnstored = !store(change);
    }
}

void PlayTime::KeyTyped(const QString &key)
{
    if (m_clockPaused)
        PauseTimer(false);

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
    const QString typed = m_typedBuffer.toLower();
    if (!reset.isEmpty() && typed == reset)
        ResetTime();
    else if (typed == pause)
        PauseTimer(true);
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
    const qint64 limit = LimitSeconds();
    const qint64 warn = WarnSeconds();
    m_known = {limit, warn, VbNumber::Val(get(TimeLimit, QStringLiteral("Beep"), QStringLiteral("1"))) == 1.0,
               get(TimeLimit, QStringLiteral("Shutdown"), QStringLiteral("-1"))};
    m_counted = false;
    if (limit < 1)
        return StartupAction::Continue;
    m_counted = true;

    if (TimeLeftSeconds > warn) {
        WriteLog(QStringLiteral("frmMenu()::Save new timelimit."));
        // A limit lowered since the last run caps what is left.
        if (TimeLeftSeconds > limit)
            setTimeLeft(limit);
        anchorAndStore(TimeLeftSeconds, limit);
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
        if (answer->released || PasswordOK(m_prompts, answer->password, true)) {
            WriteLog(QStringLiteral("frmMenu()::Reset timer."));
            anchorAndStore(limit, limit);
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
    m_savedAtMs = Clock::steadyMs();
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
            const qint64 limit = LimitSeconds();
            anchorAndStore(limit, limit);
            if (limit >= 1) {
                setTimeLeft(limit);
                m_counted = true;
            }
        }
    }
    PlaytimeTimer->start();
}
