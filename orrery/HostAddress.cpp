#include "HostAddress.h"

#include "LocalNames.h"

#include <QFile>

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace orrery {

namespace {

const QString NotResponding = QStringLiteral("The computer's sockets are not responding. "
                                             "Unable to successfully get Host Name.");

QString dotted(const in_addr &address)
{
    const auto *bytes = reinterpret_cast<const unsigned char *>(&address.s_addr);
    return QStringLiteral("%1.%2.%3.%4").arg(bytes[0]).arg(bytes[1]).arg(bytes[2]).arg(bytes[3]);
}

AddressLookup localAddress()
{
    int error = 0;
    if (hostName(&error).isEmpty())
        return {{}, QStringLiteral("Socket error %1 has occurred on the computer. "
                                   "Unable to successfully get Host Name.")
                        .arg(error)};
    ifaddrs *interfaces = nullptr;
    if (::getifaddrs(&interfaces) != 0)
        return {{}, NotResponding};
    // Prefer an interface with a link (a bridge without members is up but has none).
    QString linked, up, loopback;
    for (const ifaddrs *i = interfaces; i && linked.isEmpty(); i = i->ifa_next) {
        if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET || !(i->ifa_flags & IFF_UP))
            continue;
        const QString text = dotted(reinterpret_cast<const sockaddr_in *>(i->ifa_addr)->sin_addr);
        QString &slot = (i->ifa_flags & IFF_LOOPBACK || text.startsWith(QLatin1String("127.")))
            ? loopback
            : (i->ifa_flags & IFF_RUNNING ? linked : up);
        if (slot.isEmpty())
            slot = text;
    }
    ::freeifaddrs(interfaces);
    const QString first = !linked.isEmpty() ? linked : (!up.isEmpty() ? up : loopback);
    return first.isEmpty() ? AddressLookup{{}, NotResponding} : AddressLookup{first, {}};
}

} // namespace

AddressLookup lookUpAddress(const QString &hostComputer)
{
    const QString name = hostComputer.trimmed();
    if (hostComputer.isEmpty() || name.compare(hostName(), Qt::CaseInsensitive) == 0)
        return localAddress();
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *found = nullptr;
    if (name.isEmpty() || ::getaddrinfo(QFile::encodeName(name).constData(), nullptr, &hints, &found) != 0 || !found)
        return {{}, NotResponding};
    const QString address = dotted(reinterpret_cast<const sockaddr_in *>(found->ai_addr)->sin_addr);
    ::freeaddrinfo(found);
    return {address, {}};
}

} // namespace orrery
