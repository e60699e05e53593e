#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>

#include <SettingsStore.h>

#include <optional>

class Prompts;
class QTimer;

// The play clock: counts the child's play time down from the store section
// "TimeLimit" (with the install's values behind it, TimeLimitStore), warns
// through beeper (section "Beeper"), and at the end quits the shell or
// switches the PC off. Owned by the main form; every value is read from the
// store at each use (from memory, which each tick brings in line with the
// file), so the settings dialog, the remote console and beeper take effect
// at once. What changes together is written together; a store that cannot be
// written is logged, and the clock counts on from memory.
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
    // readable (when given) turns false when the store cannot be read.
    static qint64 LimitSeconds(bool *readable = nullptr);
    static qint64 WarnSeconds(bool *readable = nullptr);

    // The beeper program and the folder it is started in.
    static QString BeeperProgram();
    static QString BeeperFolder();
    // A beeper is running only while a process holds its single-instance lock.
    bool BeeperRunning() const;

signals:
    // The expiry action "quit the shell": the main form unloads.
    void quitRequested();

private:
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
};
