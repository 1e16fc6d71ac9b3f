// A phone's request as any bytes: the first byte picks the method, then a path line, a query
// line, and the rest is the body. Checking it never fails, a refusal is a 4xx with a message
// the page can show, and what passes holds only values the checks allow. After three line
// ends, the headers a browser sends (Content-Type, Origin, Host, a line each) meet the check
// of requests from other sites, and the bytes after them are a run of requests from a few
// addresses, three bytes each (address, kind, milliseconds since the last one, in hundreds),
// through the limits on guests: what they let through never exceeds a limit.
#include "fuzz_support.h"

#include "phone/cross_site.h"
#include "phone/guest_limits.h"
#include "phone/phone_request.h"

#include <QHash>
#include <QRegularExpression>

#include <deque>

namespace {

bool hasControl(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
            continue;
        }
        if (c.isSurrogate() || c.category() == QChar::Other_Control
            || (c.category() == QChar::Other_Format && c.unicode() != 0x200D))
            return true;
    }
    return false;
}

bool digitsOnly(const QString &text)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    return digits.match(text).hasMatch();
}

void checkAccepted(const PhoneRequest &r, const QByteArray &body)
{
    static const QRegularExpression phoneId(QStringLiteral("^[A-Za-z0-9_-]{16,64}$"));
    fuzzCheck(r.page >= 1 && r.page <= 9999, "a page is from 1 to 9999");
    fuzzCheck(r.songKind >= 0 && r.songKind <= 7 && r.count >= 1 && r.count <= 10, "a kind and a title length exist");
    fuzzCheck(r.group >= 1 && r.group <= 3 && r.code >= 0, "a singer group and a singer exist");
    fuzzCheck(r.text.size() <= 10 * kMaxSearchLength && !hasControl(r.text), "a search text is short and plain");
    fuzzCheck(r.pin.isEmpty() || (digitsOnly(r.pin) && r.pin.size() <= 16), "a PIN is digits");
    fuzzCheck(r.phone.isEmpty() || phoneId.match(r.phone).hasMatch(), "a phone id has its form");
    fuzzCheck(r.address.isEmpty() && !r.owner, "no request says where it came from or whose it is");
    const bool post = r.kind >= PhoneRequest::Kind::Order;
    fuzzCheck(!post || body.size() <= kMaxBodyBytes, "no body over the limit is read");
    if (r.kind == PhoneRequest::Kind::Order) {
        fuzzCheck(digitsOnly(r.number) && r.number.size() <= 10, "an ordered number is up to ten digits");
        fuzzCheck(!r.name.isEmpty() && r.name.size() <= 10 * kMaxNameLength && !hasControl(r.name),
                  "a name is 1 to 20 characters, none a control or half a pair");
        fuzzCheck(!r.phone.isEmpty(), "an order names its phone");
    }
    if (r.kind == PhoneRequest::Kind::CutIn || r.kind == PhoneRequest::Kind::Remove)
        fuzzCheck(r.id >= 1 && !r.phone.isEmpty(), "a change names a queued song and its phone");
}

void checkCrossSite(const QByteArray &method, const QByteArray &headers)
{
    const QList<QByteArray> lines = headers.split('\n');
    const QByteArray type = lines.value(0), origin = lines.value(1), host = lines.value(2);
    const std::optional<PhoneRefusal> refusal = crossSiteRefusal(method, type, origin, host);
    if (refusal) {
        fuzzCheck(refusal->status == 403 || refusal->status == 415, "a site's request is forbidden or of the wrong type");
        return;
    }
    fuzzCheck(origin.isEmpty() || origin.compare("http://" + host, Qt::CaseInsensitive) == 0,
              "a browser's request comes from the jukebox's own page");
    fuzzCheck(method != "POST" || type.trimmed().toLower().startsWith("application/json"), "a change comes as JSON");
}

// Counts what the limits let through per key and checks no window of a minute holds more.
class Allowed
{
public:
    void add(const QString &key, qint64 now, int limit, const char *property)
    {
        std::deque<qint64> &times = m_times[key];
        times.push_back(now);
        while (times.front() <= now - 60000)
            times.pop_front();
        fuzzCheck(int(times.size()) <= limit, property);
    }

private:
    QHash<QString, std::deque<qint64>> m_times;
};

void checkLimits(const QByteArray &events)
{
    GuestLimits guests;
    PinGuard pins;
    Allowed orders, ordersOfPhones, reads, guesses, allGuesses;
    qint64 now = 0;
    static const QString addresses[] = {"10.0.0.1", "10.0.0.2", "10.0.0.3", "10.0.0.4", "10.0.0.5", "10.0.0.6"};
    static const QString phones[] = {"phone1", "phone2", "phone3", "phone4"};
    for (qsizetype i = 0; i + 2 < events.size(); i += 3) {
        const QString &address = addresses[quint8(events[i]) % 6];
        const QString &phone = phones[quint8(events[i]) / 6 % 4];
        now += qint64(quint8(events[i + 2])) * 100;
        switch (quint8(events[i + 1]) % 3) {
        case 0:
            if (guests.allowOrder(address, phone, now)) {
                orders.add(address, now, GuestLimits::kOrdersPerMinute, "an address orders within its limit");
                ordersOfPhones.add(phone, now, GuestLimits::kOrdersPerMinute, "a phone orders within its limit");
            }
            break;
        case 1:
            if (guests.allowRead(address, now))
                reads.add(address, now, GuestLimits::kReadsPerMinute, "an address reads within its limit");
            break;
        default:
            if (pins.locked(address, now))
                break;
            guesses.add(address, now, PinGuard::kPerAddress, "an address has its PINs looked at within its limit");
            allGuesses.add(QStringLiteral("*"), now, PinGuard::kInAll, "PINs are looked at within the limit for all");
            pins.wrongGuess(address, now);
        }
    }
}

// The n-th line end of bytes, or -1.
qsizetype lineEnd(const QByteArray &bytes, int n)
{
    qsizetype at = -1;
    for (int i = 0; i < n && (at = bytes.indexOf('\n', at + 1)) >= 0; ++i) {
    }
    return at;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = fuzzInput(data, size);
    if (bytes.isEmpty())
        return 0;
    static const QByteArray methods[] = {"GET", "POST", "PUT"};
    const QByteArray method = methods[quint8(bytes[0]) % 3];
    const qsizetype extrasAt = bytes.indexOf("\n\n\n");
    const QByteArray request = extrasAt < 0 ? bytes : bytes.left(extrasAt);
    const QByteArray extras = extrasAt < 0 ? QByteArray() : bytes.mid(extrasAt + 3);
    const QList<QByteArray> parts = request.mid(1).split('\n');
    const QString path = QString::fromUtf8(parts.value(0));
    const QUrlQuery query(QString::fromUtf8(parts.value(1)));
    const QByteArray body =
        parts.size() > 2 ? request.mid(1 + parts[0].size() + 1 + parts[1].size() + 1) : QByteArray();

    const auto parsed = parsePhoneRequest(method, path, query, body);
    if (const PhoneRefusal *refusal = std::get_if<PhoneRefusal>(&parsed)) {
        fuzzCheck(refusal->status >= 400 && refusal->status < 500, "a refusal is a 4xx");
        fuzzCheck(!refusal->message.isEmpty(), "a refusal says why");
    } else {
        checkAccepted(std::get<PhoneRequest>(parsed), body);
    }
    const qsizetype headersEnd = lineEnd(extras, 3);
    checkCrossSite(method, headersEnd < 0 ? extras : extras.left(headersEnd));
    if (headersEnd >= 0)
        checkLimits(extras.mid(headersEnd + 1));
    return 0;
}
