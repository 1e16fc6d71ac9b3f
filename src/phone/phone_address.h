#pragma once

#include <QHostAddress>
#include <QString>

// The address phones in the room open, as the QR code on the screen gives it.
namespace PhoneAddress {

// This machine as phones on its network reach it: the address the server listens on, or,
// listening on all of them, the first IPv4 address of a network that is up (a private one
// first). Empty while there is none (the network comes up later than the jukebox).
QString host(const QHostAddress &listen);
// "http://host:port/token/"; empty when host is.
QString url(const QString &host, quint16 port, const QString &token);

} // namespace PhoneAddress
