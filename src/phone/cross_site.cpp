#include "phone/cross_site.h"

#include <QHostAddress>

namespace {

// "192.168.1.5:8080", "[fe80::1]:8080" or "localhost:8080": this machine by address.
bool isAddress(const QByteArray &host)
{
    QByteArray name = host;
    if (name.startsWith('[')) {
        const qsizetype end = name.indexOf(']');
        if (end < 0)
            return false;
        name = name.mid(1, end - 1);
    } else if (name.count(':') == 1) {
        name = name.left(name.indexOf(':'));
    }
    return name.compare("localhost", Qt::CaseInsensitive) == 0 || !QHostAddress(QString::fromLatin1(name)).isNull();
}

bool isJson(const QByteArray &contentType)
{
    const QByteArray type = contentType.split(';').value(0).trimmed();
    return type.compare("application/json", Qt::CaseInsensitive) == 0;
}

} // namespace

std::optional<PhoneRefusal> crossSiteRefusal(const QByteArray &method, const QByteArray &contentType,
                                             const QByteArray &origin, const QByteArray &host)
{
    if (!origin.isEmpty() && (!isAddress(host) || origin.compare("http://" + host, Qt::CaseInsensitive) != 0))
        return PhoneRefusal{403, QStringLiteral("不接受其他網站的要求")};
    if (method == "POST" && !isJson(contentType))
        return PhoneRefusal{415, QStringLiteral("資料格式錯誤")};
    return std::nullopt;
}
