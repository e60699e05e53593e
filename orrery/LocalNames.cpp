#include "LocalNames.h"

#include <QFile>

#include <cerrno>
#include <pwd.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <vector>

namespace orrery {

QString hostName(int *errorNumber)
{
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0) {
        if (errorNumber)
            *errorNumber = errno;
        return {};
    }
    return QString::fromLocal8Bit(name);
}

QString userName(uid_t uid)
{
    std::vector<char> buffer(4096);
    passwd entry{};
    passwd *found = nullptr;
    if (getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found)
        return QString::fromLocal8Bit(found->pw_name);
    return QString::number(uid);
}

QString loginName()
{
    char name[256] = {};
    if (getlogin_r(name, sizeof name) == 0 && name[0] != '\0')
        return QString::fromLocal8Bit(name);
    return userName(geteuid());
}

QString systemName()
{
    for (const char *path : {"/etc/os-release", "/usr/lib/os-release"}) {
        QFile file(QString::fromLatin1(path));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        while (!file.atEnd()) {
            const QByteArray line = file.readLine().trimmed();
            if (!line.startsWith("PRETTY_NAME="))
                continue;
            QByteArray value = line.mid(12);
            if (value.size() >= 2 && (value.startsWith('"') || value.startsWith('\'')))
                value = value.mid(1, value.size() - 2);
            return QString::fromUtf8(value);
        }
    }
    return {};
}

QString kernelRelease()
{
    utsname names{};
    return uname(&names) == 0 ? QString::fromLocal8Bit(names.release) : QString();
}

} // namespace orrery
