#pragma once

#include <QString>

// One running copy per user and program folder, enforced with a lock file in
// $XDG_RUNTIME_DIR when it is the user's own, else in the program folder. The lock belongs to the process: it vanishes
// with it, however the process ends, and is not inherited by started programs.
class SingleInstance
{
public:
    SingleInstance(const QString &program, const QString &folder);
    ~SingleInstance();
    SingleInstance(const SingleInstance &) = delete;
    SingleInstance &operator=(const SingleInstance &) = delete;

    // True when this object now holds the lock (no other copy runs).
    bool tryAcquire();
    bool isAcquired() const { return m_fd >= 0; }

    // True while some process holds the lock of that program and folder.
    static bool isHeld(const QString &program, const QString &folder);
    static QString lockPath(const QString &program, const QString &folder);

private:
    QString m_path;
    int m_fd = -1;
};
