#pragma once

#include "PasswordKey.h"

#include <QList>
#include <QString>

// What the remote server needs of the shell. The main form implements it;
// every call comes on the user-interface thread.
class RemoteHost
{
public:
    struct Button
    {
        int index = 0; // position in the menu's button array
        QString text;
    };

    virtual ~RemoteHost() = default;

    // The play clock: remaining whole seconds (-1 when never stored) and
    // whether it is paused.
    virtual qint64 TimeLeftSeconds() const = 0;
    virtual bool ClockPaused() const = 0;
    // Starts a full new play period (ResetTime, with its tones); with a
    // playTime, under that new "PlayTime" value, stored in the same write.
    // False when the store could not be written; with a playTime nothing
    // changed then.
    virtual bool ResetTime(const QString &playTime) = 0;
    // Extra time for the current period, whole minutes 1-600 (PlayTime's
    // AddExtraTime); an open time-expired dialog lets the child on.
    virtual void AddExtraTime(int minutes) = 0;
    // The lock from afar: the play clock stops and the lock screen covers
    // the PC until it is ended here or by the parent's password.
    virtual bool Locked() const = 0;
    virtual void SetLocked(bool locked) = 0;

    virtual bool ExpiredDialogOpen() const = 0;
    // Answers the time-expired dialog as the parent would: closes it as
    // released by the parent, so the expiry flow reads a reset by the parent
    // (never a quit or a shut-down choice), also when only the install's key
    // of the password is known.
    virtual void ReleaseExpiredDialog() = 0;
    virtual bool PasswordDialogOpen() const = 0;
    // Closes the password dialog as Cancel does.
    virtual void ClosePasswordDialog() = 0;

    // The key of the parent password in force, which the console's answer is
    // keyed with; null when no password is set. Deriving it is slow, so it is
    // asked for only when a console needs it, and kept until the password
    // changes.
    virtual PasswordKey ParentKey() const = 0;

    // The buttons that have a link, in array order.
    virtual QList<Button> LinkedButtons() const = 0;
    // Starts a button as the console does: ExecuteFile with both flags set.
    virtual void ExecuteButton(int index) = 0;

    // Started with "/debug".
    virtual bool DebugMode() const = 0;
    // The power-off action, with the shutdown privilege enabled.
    virtual void PowerOff() = 0;
};
