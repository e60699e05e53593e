#include "AtomicFile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace AtomicFile {
namespace {

bool fail(QString *error, const QString &what)
{
    if (error)
        *error = what + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
    return false;
}

// The file's old mode with the owner's write bit (a read-only flag does not
// survive a save), or the usual mode of a new file.
mode_t newMode(const QByteArray &path)
{
    struct stat old;
    if (::stat(path.constData(), &old) == 0)
        return (old.st_mode & 07777) | S_IWUSR;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool writeAll(int fd, const QByteArray &data)
{
    const char *p = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        left -= n;
    }
    return true;
}

} // namespace

bool write(const QString &path, const QByteArray &data, QString *error, Access access)
{
    // Every step is checked: a full disk must fail here, before the rename,
    // and never leave an empty or cut file in place of the old one.
    const QByteArray target = QFile::encodeName(path);
    QByteArray temporary = target + ".tmp-XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return fail(error, QStringLiteral("Cannot create a file beside %1").arg(path));
    const mode_t mode = access == Access::OwnerOnly ? mode_t(S_IRUSR | S_IWUSR) : newMode(target);
    bool ok = ::fchmod(fd, mode) == 0 && writeAll(fd, data) && ::fsync(fd) == 0;
    int reason = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        reason = errno;
    }
    if (!ok) {
        ::unlink(temporary.constData());
        errno = reason;
        return fail(error, QStringLiteral("Cannot write %1").arg(path));
    }
    if (::rename(temporary.constData(), target.constData()) != 0) {
        reason = errno;
        ::unlink(temporary.constData());
        errno = reason;
        return fail(error, QStringLiteral("Cannot replace %1").arg(path));
    }
    // The new name itself must reach the disk too.
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    const int dir = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

} // namespace AtomicFile
