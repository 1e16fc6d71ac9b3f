#include "catalogue/song_numbers.h"

#include "core/database.h"

#include <bitset>

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

// One pass over the numbers of the prefix (in the index, never the table) marks the serials
// taken; the first unmarked one is the answer, as trying 1, 2, 3 ... against every number was.
QString Get_NewSongNum(Database &db, int kind, int count)
{
    const QString prefix = songNumberPrefix(kind, count);
    std::bitset<kLastSerial + 1> taken;
    db.forEachRow(QStringLiteral("SELECT song_num FROM song WHERE song_num LIKE ?"), {prefix + QLatin1Char('%')},
                  [&](const RowView &row) {
                      taken.set(size_t(serialOf(row.text(0), prefix.size())));
                      return true;
                  });
    for (int serial = 1; serial <= kLastSerial; ++serial) {
        if (!taken.test(size_t(serial)))
            return prefix + serialText(serial);
    }
    return {};
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
