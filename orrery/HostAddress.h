#pragma once

#include <QString>

namespace orrery {

// The outcome of an address look-up: the dotted IPv4 address, or the message
// that tells why there is none.
struct AddressLookup
{
    QString address;
    QString message;
};

// The IPv4 address of a host. An empty name (or this computer's own name)
// means this computer: the first IPv4 address of an interface that is up and
// not a loopback (one with a link first), read from the interfaces without
// any name service, so it is quick and never waits on the network; the
// loopback address when there is no other. Another name is resolved by the
// system's resolver.
AddressLookup lookUpAddress(const QString &hostComputer);

} // namespace orrery
