#include "catalogue/song_numbers.h"

#include "core/database.h"

namespace {

QString serialText(int serial)
{
    return QStringLiteral("%1").arg(serial, 3, 10, QLatin1Char('0'));
}

// The serial a stored number carries after the prefix, when it is written as the rule
// writes serials ("007", "1000"); 0 for anything else ("0007", "12", "10a").
int serialOf(QStringView number, qsizetype prefixLength)
{
    const QStringView rest = number.mid(prefixLength);
    if (rest.size() < 3 || rest.size() > 5 || (rest.size() > 3 && rest.front() == QLatin1Char('0')))
        return 0;
    int serial = 0;
    for (QChar c : rest) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return 0;
        serial = serial * 10 + (c.unicode() - '0');
    }
    return serial <= kLastSerial ? serial : 0;
}

} // namespace

QString songNumberPrefix(int kind, int count)
{
    return QString::number(kind) + QStringLiteral("%1").arg(count, 2, 10, QLatin1Char('0'));
}

QString songNumber(int kind, int count, int serial)
{
    return songNumberPrefix(kind, count) + serialText(serial);
}

void TakenSerials::mark(QStringView number)
{
    m_taken.set(size_t(serialOf(number, m_prefix.size())));
}

QString TakenSerials::firstFreeNumber() const
{
    for (int serial = 1; serial <= kLastSerial; ++serial) {
        if (!m_taken.test(size_t(serial)))
            return m_prefix + serialText(serial);
    }
    return {};
}

// One pass over the numbers of the prefix marks the serials taken; the first unmarked one is
// the answer, as trying 1, 2, 3 ... against every number was.
QString lowestFreeNumber(int kind, int count, const NumberWalk &walk)
{
    const QString prefix = songNumberPrefix(kind, count);
    TakenSerials taken(prefix);
    walk(prefix, [&taken](QStringView number) { taken.mark(number); });
    return taken.firstFreeNumber();
}

QString Get_NewSongNum(Database &db, int kind, int count)
{
    return lowestFreeNumber(kind, count, [&db](const QString &prefix, const std::function<void(QStringView)> &onNumber) {
        forEachSongNumber(db, prefix, onNumber);
    });
}

void forEachSongNumber(Database &db, const QString &prefix, const std::function<void(QStringView)> &onNumber)
{
    db.forEachRow(QStringLiteral("SELECT song_num FROM song WHERE song_num LIKE ?"), {prefix + QLatin1Char('%')},
                  [&onNumber](const RowView &row) {
                      onNumber(row.text(0));
                      return true;
                  });
}

bool isSongNumberText(const QString &text)
{
    if (text.isEmpty() || text.size() > kSongNumberMaxDigits)
        return false;
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}
