#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>

#include "base/Prompts.h"

#include <SettingsStore.h>

#include <optional>

class QTimer;

// The play clock: counts the child's play time down from the store section
// "TimeLimit" (with the install's values behind it, TimeLimitStore), warns
// through beeper (section "Beeper"), and at the end quits the shell or
// switches the PC off. The day's rules (DayRules) add a new period at the
// daily start, a limit for each weekday and allowed hours whose end acts as
// the end of play; the parent adds extra time or locks the PC from afar.
// Owned by the main form; every value is read from the store at each use
// (from memory, which each tick brings in line with the file), so the
// settings dialog, the remote console and beeper take effect at once. What
// changes together is written together; a store that cannot be written is
// logged, and the clock counts on from memory.
class PlayTime : public QObject
{
    Q_OBJECT

public:
    // What the main form's load must do after the start-up check.
    enum class StartupAction {
        Continue,        // go on: enable the clock and show the menu
        StartShutdown,   // the child chose shut-down: enable ShutdownTimer, show nothing
        StartUnload,     // the child chose shut-down, quit configured: enable UnloadTimer
    };

    explicit PlayTime(Prompts &prompts, QObject *parent = nullptr);

    // 500 ms, precise; disabled until the end of start-up.
    QTimer *PlaytimeTimer = nullptr;
    // Single-shot: checks a typed reset against the install's key once typing pauses.
    QTimer *TypedResetTimer = nullptr;
    // Single-shot at the next daily start (CheckDay), also while the clock
    // is stopped; set again by every CheckDay, which each tick and a wake from
    // sleep run, so a wall clock that jumped does not make it miss the start.
    QTimer *DayTimer = nullptr;

    bool ClockPaused() const { return m_clockPaused; }
    QString TypedBuffer() const { return m_typedBuffer; }

    // One tick of PlaytimeTimer.
    void Tick();
    // Starts a full new play period; with a playTime, under that new
    // "PlayTime" value, written in the same write. False when the store
    // could not be written; with a playTime nothing changed then.
    bool ResetTime(const QString &playTime = QString());
    void PauseTimer(bool pause);
    // Every key typed anywhere: one character or a token such as "<pause>".
    void KeyTyped(const QString &key);

    // The play-time check of start-up: may show the time-expired dialog until
    // the parent's password or the child's shut-down choice ends it.
    StartupAction StartupCheck();
    // Starts counting once the menu is about to show.
    void StartClock();
    void StopClock();

    // Edit mode: no warning or expiry while a parent edits; on leaving, the
    // parent may restart the period.
    void EditModeEntered();
    void EditModeLeaving();

    // The quantities of the store, read afresh; non-numeric text counts as 0.
    // readable (when given) turns false when the store cannot be read. The
    // limit is today's: "PlayTimeMon" .. "PlayTimeSun" when set, else
    // "PlayTime"; extra time is not in it.
    static qint64 LimitSeconds(bool *readable = nullptr);
    static qint64 WarnSeconds(bool *readable = nullptr);

    // The daily start and a wake from suspend (the wall clock jumped against
    // the steady clock): when the current period began before the most recent
    // daily start, a new one begins as ResetTime does, and an open
    // time-expired dialog is released. True when a period began.
    bool CheckDay();

    // Extra time for the current period, whole minutes 1-600: moves the end
    // of the period and the end of the allowed hours by that much; the next
    // period has the plain limit again. False, changing nothing, for another
    // number. While the start-up's time-expired dialog is open it lets the
    // child on (releaseExpiredDialog).
    bool AddExtraTime(int minutes);

    // Lock now: the play clock stops (what is left is kept) and the lock
    // screen covers the PC until Lock(false) or the parent's password. Kept
    // in the store, so that a restart does not end it.
    void Lock(bool locked);
    bool Locked() const { return m_locked; }
    // The lock screen's password box: ends the lock when the text is the
    // parent's password (or none is set). False when it is not.
    bool UnlockWithPassword(const QString &password);

    // The seconds of play left at the last tick, by the limit or by the end
    // of the allowed hours, whichever comes first; -1 when neither ends play.
    qint64 SecondsLeft() const { return m_secondsLeft; }
    // Why the time-expired dialog shows (or play ended): the allowed hours
    // are over (true) or the time ran out.
    bool AtBedtime() const { return m_atBedtime; }
    // "Countdown" is not "0": the countdown notice shows.
    static bool CountdownOn();

    // The beeper program and the folder it is started in.
    static QString BeeperProgram();
    static QString BeeperFolder();
    // A beeper is running only while a process holds its single-instance lock.
    bool BeeperRunning() const;

signals:
    // The expiry action "quit the shell": the main form unloads.
    void quitRequested();
    // The clock was paused or resumed.
    void pausedChanged(bool paused);

    // Show the countdown notice with this many seconds of play left. Emitted
    // when the warning window opens (WarnTime before the end of play, by the
    // limit or by the allowed hours) and again at 60 s left (once when the
    // warning window is 60 s or shorter); not while "Countdown" is "0".
    void countdownNotice(qint64 seconds);
    // The last 60 seconds run: the seconds left (60 .. 0) at each tick that
    // changes them, for the corner counter; -1 when it must go (more time,
    // a new period, a pause or lock, play ended).
    void lastMinute(qint64 seconds);
    // The lock from afar began (true) or ended. Also emitted by StartClock
    // when the shell starts locked.
    void lockChanged(bool locked);
    // Right before the time-expired dialog is asked for: true when it shows
    // because the allowed hours are over (the bedtime line), false for the
    // expiry line.
    void bedtime(bool atBedtime);
    // The open time-expired dialog must close as released by the parent: a
    // period began at the daily start, or extra time came.
    void releaseExpiredDialog();
    // PlaytimeTimer was started, so other periodic timers can keep in step with it.
    void ticking();

private:
    // The day's rules.
    qint64 withExtra(qint64 limit) const { return limit >= 1 ? limit + m_extra : limit; }
    std::optional<qint64> closingIn() const;
    bool beginDailyPeriod();
    void markPeriodBegun(SettingsStore::Change &change);
    void beginPeriod(qint64 limit);
    bool beepWarning(qint64 left, qint64 warn, bool beep, SettingsStore::Change &change);
    void writeTick(const SettingsStore::Change &change, bool anchored, bool beeperStarts);
    void notices(qint64 left, qint64 warn);
    void endNotices();
    void grantWhileAsking();
    bool playable(qint64 warn) const;
    void letOn(const Prompts::ExpiredAnswer &answer, qint64 limit, qint64 warn);

    void startTicking();
    void armDayTimer();
    void startBeeper();
    void checkTypedReset();
    void restoreStore(SettingsStore::Change &change);
    void expire(qint32 action);
    void anchorPeriod(qint64 remaining, qint64 limit, SettingsStore::Change &change);
    void storeStart(qint64 remaining, qint64 limit, SettingsStore::Change &change);
    void anchorAndStore(qint64 remaining, qint64 limit);
    bool store(const SettingsStore::Change &change);
    void setTimeLeft(qint64 seconds);
    void saveTimeLeft(SettingsStore::Change &change);

    Prompts &m_prompts;
    bool m_clockPaused = false;
    QString m_typedBuffer;
    // TimeLeftSeconds holds a remaining time counted in this run (not only the
    // value read at start), so a broken "LastInit" can fall back on it.
    bool m_counted = false;
    qint64 m_beeperPid = 0;

    // What the store said last, and the end of the period on the steady
    // clock: a store that cannot be read or written does not stop the clock.
    struct Known {
        qint64 limit = 0;
        qint64 warn = 50;
        bool beep = true;
        QString shutdown; // the expiry action, written back with the rest
    } m_known;
    std::optional<qint64> m_endMs;
    bool m_startUnstored = false; // the start of the period is not in the store
    bool m_storeFailing = false;  // the last write failed (and was logged)
    qint64 m_savedAtMs = 0;

    // The day's rules: extra seconds of this period, the end of the allowed
    // hours moved by the parent (invalid: not moved), the lock, what the
    // notices showed last, and the wall clock against the steady clock.
    qint64 m_extra = 0;
    QDateTime m_liftedUntil;
    bool m_locked = false;
    bool m_expired = false; // expiry stopped PlaytimeTimer
    bool m_asking = false;  // the start-up's time-expired dialog is open
    bool m_granted = false; // a period or extra time came while it was open
    bool m_atBedtime = false;
    qint64 m_secondsLeft = -1;
    int m_noticeStage = 0; // 1: the warning notice showed, 2: the one at 60 s
    qint64 m_counterShown = -1;
    std::optional<qint64> m_wallAheadMs;
    bool m_watchingResume = false;
};
