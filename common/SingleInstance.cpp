#include "SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Ours, and nobody else may write into it.
bool isPrivateFolder(const QString &dir)
{
    struct stat st;
    return !dir.isEmpty() && ::stat(QFile::encodeName(dir).constData(), &st) == 0 && S_ISDIR(st.st_mode)
           && st.st_uid == ::getuid() && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

} // namespace

QString SingleInstance::lockPath(const QString &program, const QString &folder)
{
    // The same folder reached through a link or "x/.." must give the same lock.
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    const QString key = canonical.isEmpty() ? QDir::cleanPath(folder) : canonical;
    // Only where no other user can create the file first: the user's own
    // runtime folder, else the program folder itself.
    QString dir = QString::fromLocal8Bit(qgetenv("XDG_RUNTIME_DIR"));
    if (!isPrivateFolder(dir))
        dir = key;
    const QByteArray hash = QCryptographicHash::hash(key.toUtf8(),
                                                     QCryptographicHash::Sha1)
                                .toHex()
                                .left(12);
    return QStringLiteral("%1/%2-%3-%4.lock")
        .arg(dir, program, QString::number(::getuid()), QString::fromLatin1(hash));
}

SingleInstance::SingleInstance(const QString &program, const QString &folder)
    : m_path(lockPath(program, folder))
{
}

SingleInstance::~SingleInstance()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool SingleInstance::tryAcquire()
{
    if (m_fd >= 0)
        return true;
    const int fd = ::open(QFile::encodeName(m_path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return true; // no place for a lock: do not keep the program from running
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    return true;
}

bool SingleInstance::isHeld(const QString &program, const QString &folder)
{
    const int fd = ::open(QFile::encodeName(lockPath(program, folder)).constData(),
                          O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}
