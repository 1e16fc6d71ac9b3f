#include "phone/phone_request.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <optional>

namespace {

using Kind = PhoneRequest::Kind;
using Parsed = std::variant<PhoneRequest, PhoneRefusal>;

const QString kBadData = QStringLiteral("資料格式錯誤");

PhoneRefusal refuse(const QString &message, int status = 400)
{
    return {status, message};
}

// A format character that emoji are written with: the zero-width joiner of a family or a
// profession, and the tags of a subdivision's flag. Other format characters (the ones that
// turn the direction of text, say) are refused with the controls.
bool isEmojiJoiner(char32_t c)
{
    return c == 0x200D || (c >= 0xE0020 && c <= 0xE007F);
}

// Controls, line breaks, unassigned code points, half a surrogate pair and format characters
// other than the emoji joiners.
bool hasControlCharacters(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        } else if (QChar::isSurrogate(c)) {
            return true;
        }
        const QChar::Category category = QChar::category(c);
        if (category == QChar::Other_Format && !isEmojiJoiner(c))
            return true;
        if (category == QChar::Other_Control || category == QChar::Separator_Line
            || category == QChar::Separator_Paragraph || category == QChar::Other_NotAssigned)
            return true;
    }
    return false;
}

// More than characters as the guest sees them (an emoji of a family or a flag is one), or
// more than ten UTF-16 units for each of them.
bool isLongerThan(const QString &text, int characters)
{
    if (text.size() > 10 * characters)
        return true;
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text);
    qsizetype count = 0;
    while (graphemes.toNextBoundary() > 0)
        ++count;
    return count > characters;
}

bool isDigits(QStringView text, int maxLength)
{
    if (text.isEmpty() || text.size() > maxLength)
        return false;
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
}

// The id a phone page makes for itself once and keeps.
bool isPhoneId(const QString &text)
{
    static const QRegularExpression phoneId(QStringLiteral("^[A-Za-z0-9_-]{16,64}$"));
    return phoneId.match(text).hasMatch();
}

const QString kBadPhone = QStringLiteral("手機識別碼錯誤, 請重新載入網頁");

// A number written in at most ten digits that lies between low and high, or nullopt.
std::optional<qint64> boundedNumber(QStringView text, qint64 low, qint64 high)
{
    if (!isDigits(text, 10))
        return std::nullopt;
    const qint64 n = text.toLongLong();
    return n >= low && n <= high ? std::optional<qint64>(n) : std::nullopt;
}

// Reads the number under key into into; a number out of range, or a required one missing, is refused.
template <typename T>
std::optional<PhoneRefusal> field(const QUrlQuery &query, const char *key, qint64 low, qint64 high, T &into,
                                  const QString &message, bool required = true)
{
    const QString name = QLatin1String(key);
    if (!query.hasQueryItem(name))
        return required ? std::optional<PhoneRefusal>(refuse(message)) : std::nullopt;
    const std::optional<qint64> n = boundedNumber(query.queryItemValue(name, QUrl::FullyDecoded), low, high);
    if (!n)
        return refuse(message);
    into = T(*n);
    return std::nullopt;
}

std::optional<PhoneRefusal> readPage(const QUrlQuery &query, PhoneRequest &r)
{
    return field(query, "page", 1, 9999, r.page, QStringLiteral("頁數錯誤"), false);
}

// The request once every check has passed, or the first refusal among them (checks run in
// order, each filling its field of r).
Parsed checked(const PhoneRequest &r, std::initializer_list<std::optional<PhoneRefusal>> checks)
{
    for (const std::optional<PhoneRefusal> &refusal : checks) {
        if (refusal)
            return *refusal;
    }
    return r;
}

// The info, the queue and the live queue: optionally for one phone, which then hears of its own songs.
Parsed optionalPhone(const QUrlQuery &query, PhoneRequest r)
{
    r.phone = query.queryItemValue(QStringLiteral("phone"), QUrl::FullyDecoded);
    if (!r.phone.isEmpty() && !isPhoneId(r.phone))
        return refuse(kBadPhone);
    return r;
}

Parsed search(const QUrlQuery &query, PhoneRequest r)
{
    r.text = query.queryItemValue(QStringLiteral("q"), QUrl::FullyDecoded).trimmed();
    if (isLongerThan(r.text, kMaxSearchLength))
        return refuse(QStringLiteral("搜尋文字最多 %1 字").arg(kMaxSearchLength));
    if (hasControlCharacters(r.text))
        return refuse(QStringLiteral("搜尋文字不能有控制字元"));
    return checked(r, {readPage(query, r)});
}

Parsed kindSongs(const QUrlQuery &query, PhoneRequest r)
{
    return checked(r, {field(query, "kind", 0, 7, r.songKind, QStringLiteral("沒有這種曲目種類")),
                       field(query, "count", 1, 10, r.count, QStringLiteral("字數錯誤")), readPage(query, r)});
}

Parsed charts(const QUrlQuery &query, PhoneRequest r)
{
    return checked(r, {field(query, "period", 1, 3, r.period, QStringLiteral("沒有這種排行"))});
}

Parsed singers(const QUrlQuery &query, PhoneRequest r)
{
    return checked(r, {field(query, "group", 1, 3, r.group, QStringLiteral("沒有這種歌星分類")), readPage(query, r)});
}

Parsed singerSongs(const QUrlQuery &query, PhoneRequest r)
{
    return checked(r, {field(query, "code", 1, 999999999, r.code, QStringLiteral("沒有這位歌星")), readPage(query, r)});
}

// A text field of a body; absent is empty, anything but a string is refused.
std::optional<QString> textField(const QJsonObject &body, const char *key)
{
    const QJsonValue value = body.value(QLatin1String(key));
    if (value.isUndefined())
        return QString();
    if (!value.isString())
        return std::nullopt;
    return value.toString();
}

std::optional<PhoneRefusal> readPhone(const QJsonObject &body, PhoneRequest &r)
{
    const std::optional<QString> phone = textField(body, "phone");
    if (!phone || !isPhoneId(*phone))
        return refuse(kBadPhone);
    r.phone = *phone;
    return std::nullopt;
}

std::optional<PhoneRefusal> readPin(const QJsonObject &body, PhoneRequest &r)
{
    const std::optional<QString> pin = textField(body, "pin");
    if (!pin || (!pin->isEmpty() && !isDigits(*pin, 16)))
        return refuse(QStringLiteral("管理密碼只能是數字"));
    r.pin = *pin;
    return std::nullopt;
}

std::optional<PhoneRefusal> readId(const QJsonObject &body, PhoneRequest &r)
{
    const QJsonValue id = body.value(QLatin1String("id"));
    const double n = id.toDouble(-1);
    if (!id.isDouble() || n < 1 || n > 9007199254740991.0 || n != double(qint64(n)))
        return refuse(kBadData);
    r.id = qint64(n);
    return std::nullopt;
}

Parsed order(const QJsonObject &body, PhoneRequest r)
{
    const std::optional<QString> number = textField(body, "num");
    if (!number || !isDigits(*number, 10))
        return refuse(QStringLiteral("曲目編號只能是數字"));
    r.number = *number;
    const std::optional<QString> name = textField(body, "name");
    if (!name || name->trimmed().isEmpty())
        return refuse(QStringLiteral("請先輸入名字"));
    r.name = name->trimmed();
    if (isLongerThan(r.name, kMaxNameLength) || hasControlCharacters(r.name))
        return refuse(QStringLiteral("名字最多 %1 字, 不能有控制字元").arg(kMaxNameLength));
    if (auto refused = readPhone(body, r))
        return *refused;
    return r;
}

Parsed queuedSong(const QJsonObject &body, PhoneRequest r)
{
    return checked(r, {readId(body, r), readPhone(body, r), readPin(body, r)});
}

Parsed ownerAction(const QJsonObject &body, PhoneRequest r)
{
    return checked(r, {readPin(body, r)});
}

using QueryParser = Parsed (*)(const QUrlQuery &, PhoneRequest);
using BodyParser = Parsed (*)(const QJsonObject &, PhoneRequest);

struct Route
{
    const char *path;
    Kind kind;
    QueryParser fromQuery = nullptr; // a GET with these query items
    BodyParser fromBody = nullptr;   // a POST with a JSON object
};

const Route kRoutes[] = {
    {"", Kind::Page},
    {"index.html", Kind::Page},
    {"app.js", Kind::Script},
    {"style.css", Kind::Style},
    {"api/info", Kind::Info, optionalPhone},
    {"api/search", Kind::Search, search},
    {"api/kind", Kind::KindSongs, kindSongs},
    {"api/singers", Kind::Singers, singers},
    {"api/singer", Kind::SingerSongs, singerSongs},
    {"api/charts", Kind::Charts, charts},
    {"api/queue", Kind::Queue, optionalPhone},
    {"api/events", Kind::Events, optionalPhone},
    {"api/order", Kind::Order, nullptr, order},
    {"api/cutin", Kind::CutIn, nullptr, queuedSong},
    {"api/remove", Kind::Remove, nullptr, queuedSong},
    {"api/skip", Kind::Skip, nullptr, ownerAction},
    {"api/pause", Kind::Pause, nullptr, ownerAction},
};

Parsed fromBody(const Route &route, const QByteArray &body)
{
    if (body.size() > kMaxBodyBytes)
        return refuse(QStringLiteral("資料太長"), 413);
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return refuse(kBadData);
    PhoneRequest request;
    request.kind = route.kind;
    return route.fromBody(document.object(), request);
}

} // namespace

std::variant<PhoneRequest, PhoneRefusal> parsePhoneRequest(const QByteArray &method, const QString &path,
                                                           const QUrlQuery &query, const QByteArray &body)
{
    for (const Route &route : kRoutes) {
        if (path != QLatin1String(route.path))
            continue;
        const bool post = route.fromBody != nullptr;
        if (method != (post ? QByteArrayLiteral("POST") : QByteArrayLiteral("GET")))
            return refuse(QStringLiteral("不支援這種操作"), 405);
        if (post)
            return fromBody(route, body);
        PhoneRequest request;
        request.kind = route.kind;
        return route.fromQuery ? route.fromQuery(query, request) : Parsed(request);
    }
    return refuse(QStringLiteral("找不到這個網頁"), 404);
}
