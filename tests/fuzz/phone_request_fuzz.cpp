// A phone's request as any bytes: the first byte picks the method, then a path line, a query
// line, and the rest is the body. Checking it never fails, a refusal is a 4xx with a message
// the page can show, and what passes holds only values the checks allow.
#include "fuzz_support.h"

#include "phone/phone_request.h"

#include <QRegularExpression>

namespace {

bool hasControl(const QString &text)
{
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format)
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
    fuzzCheck(r.text.toUcs4().size() <= kMaxSearchLength && !hasControl(r.text), "a search text is short and plain");
    fuzzCheck(r.pin.isEmpty() || (digitsOnly(r.pin) && r.pin.size() <= 16), "a PIN is digits");
    fuzzCheck(r.phone.isEmpty() || phoneId.match(r.phone).hasMatch(), "a phone id has its form");
    const bool post = r.kind >= PhoneRequest::Kind::Order;
    fuzzCheck(!post || body.size() <= kMaxBodyBytes, "no body over the limit is read");
    if (r.kind == PhoneRequest::Kind::Order) {
        fuzzCheck(digitsOnly(r.number) && r.number.size() <= 10, "an ordered number is up to ten digits");
        fuzzCheck(!r.name.isEmpty() && r.name.toUcs4().size() <= kMaxNameLength && !hasControl(r.name),
                  "a name is 1 to 20 plain characters");
        fuzzCheck(!r.phone.isEmpty(), "an order names its phone");
    }
    if (r.kind == PhoneRequest::Kind::CutIn || r.kind == PhoneRequest::Kind::Remove)
        fuzzCheck(r.id >= 1 && !r.phone.isEmpty(), "a change names a queued song and its phone");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = fuzzInput(data, size);
    if (bytes.isEmpty())
        return 0;
    static const QByteArray methods[] = {"GET", "POST", "PUT"};
    const QByteArray method = methods[quint8(bytes[0]) % 3];
    const QList<QByteArray> parts = bytes.mid(1).split('\n');
    const QString path = QString::fromUtf8(parts.value(0));
    const QUrlQuery query(QString::fromUtf8(parts.value(1)));
    const QByteArray body = parts.size() > 2 ? bytes.mid(1 + parts[0].size() + 1 + parts[1].size() + 1) : QByteArray();

    const auto parsed = parsePhoneRequest(method, path, query, body);
    if (const PhoneRefusal *refusal = std::get_if<PhoneRefusal>(&parsed)) {
        fuzzCheck(refusal->status >= 400 && refusal->status < 500, "a refusal is a 4xx");
        fuzzCheck(!refusal->message.isEmpty(), "a refusal says why");
        return 0;
    }
    checkAccepted(std::get<PhoneRequest>(parsed), body);
    return 0;
}
