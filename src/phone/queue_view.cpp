#include "phone/queue_view.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {

QJsonObject songJson(const QueueRow &row, const QString &tag)
{
    return {
        {QStringLiteral("id"), row.id},
        {QStringLiteral("num"), row.key},
        {QStringLiteral("title"), row.title.isEmpty() ? row.text : row.title},
        {QStringLiteral("singer"), row.singer},
        {QStringLiteral("by"), row.by.name},
        {QStringLiteral("tag"), tag},
    };
}

} // namespace

QueueViewJson::QueueViewJson(const QueueView &view, const std::function<QString(const QString &phone)> &tagOf)
{
    QJsonArray shown;
    for (size_t i = 0; i < view.rows.size(); ++i) {
        const QueueRow &row = view.rows[i];
        const QString tag = row.by.phone.isEmpty() ? QString() : tagOf(row.by.phone);
        if (i < size_t(kShown)) {
            shown.append(songJson(row, tag));
            continue;
        }
        if (row.by.phone.isEmpty())
            continue;
        QJsonObject later = songJson(row, tag);
        later.insert(QStringLiteral("pos"), qint64(i));
        m_later[row.by.phone].append(later);
    }
    const QJsonObject json{
        {QStringLiteral("playing"), view.playing && !view.rows.empty()},
        {QStringLiteral("paused"), view.paused},
        {QStringLiteral("unsaved"), view.unsaved},
        {QStringLiteral("total"), qint64(view.rows.size())},
        {QStringLiteral("songs"), shown},
    };
    m_shared = QJsonDocument(json).toJson(QJsonDocument::Compact);
    m_shared.chop(1);
    m_withoutOwn = m_shared + ",\"mine\":[]}";
}

QByteArray QueueViewJson::forPhone(const QString &phone) const
{
    const auto later = m_later.constFind(phone);
    if (later == m_later.cend())
        return m_withoutOwn;
    return m_shared + ",\"mine\":" + QJsonDocument(*later).toJson(QJsonDocument::Compact) + '}';
}
