#include "phone/phone_address.h"

#include <QNetworkInterface>

namespace {

bool isPrivate(const QHostAddress &address)
{
    return address.isInSubnet(QHostAddress(QStringLiteral("10.0.0.0")), 8)
        || address.isInSubnet(QHostAddress(QStringLiteral("172.16.0.0")), 12)
        || address.isInSubnet(QHostAddress(QStringLiteral("192.168.0.0")), 16);
}

} // namespace

namespace PhoneAddress {

QString host(const QHostAddress &listen)
{
    if (listen != QHostAddress::Any && listen != QHostAddress::AnyIPv4 && listen != QHostAddress::AnyIPv6)
        return listen.toString();
    QString found;
    for (const QNetworkInterface &network : QNetworkInterface::allInterfaces()) {
        const auto flags = network.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) || !flags.testFlag(QNetworkInterface::IsRunning)
            || flags.testFlag(QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry &entry : network.addressEntries()) {
            const QHostAddress address = entry.ip();
            if (address.protocol() != QAbstractSocket::IPv4Protocol || address.isLinkLocal())
                continue;
            if (isPrivate(address))
                return address.toString();
            if (found.isEmpty())
                found = address.toString();
        }
    }
    return found;
}

QString url(const QString &host, quint16 port, const QString &token)
{
    if (host.isEmpty())
        return {};
    const QString shownHost = host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
    return QStringLiteral("http://%1:%2/%3/").arg(shownHost).arg(port).arg(token);
}

} // namespace PhoneAddress
