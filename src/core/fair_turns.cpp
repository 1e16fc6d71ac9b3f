#include "core/fair_turns.h"

namespace FairTurns {

namespace {

const QString kCutInMark = QStringLiteral("--插播");

int played(const std::map<QString, int> &playedLastHour, const QString &orderer)
{
    const auto found = playedLastHour.find(orderer);
    return found == playedLastHour.end() ? 0 : found->second;
}

// Row 0 and the cut-in songs right after it.
qint64 firstMovableRow(const std::vector<QueueRow> &rows)
{
    qint64 row = rows.empty() ? 0 : 1;
    while (row < qint64(rows.size()) && rows[size_t(row)].text.endsWith(kCutInMark))
        ++row;
    return row;
}

} // namespace

QString ordererOf(const QueueRow &row)
{
    return row.by.phone;
}

qint64 rowFor(const std::vector<QueueRow> &rows, const std::map<QString, int> &playedLastHour, const QString &orderer)
{
    std::map<QString, int> turns = playedLastHour;
    std::vector<int> turnOf(rows.size());
    for (size_t i = 0; i < rows.size(); ++i)
        turnOf[i] = ++turns[ordererOf(rows[i])];
    const int newTurn = played(turns, orderer) + 1;
    qint64 target = firstMovableRow(rows);
    for (qint64 i = qint64(rows.size()) - 1; i >= target; --i) {
        if (turnOf[size_t(i)] <= newTurn)
            return i + 1;
    }
    return target;
}

} // namespace FairTurns
