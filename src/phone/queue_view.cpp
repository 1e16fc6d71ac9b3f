#include "phone/queue_view.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

QByteArray queueViewJson(const QueueView &view, const std::function<QString(const QString &phone)> &tagOf)
{
    QJsonArray songs;
    for (const QueueRow &row : view.rows) {
        songs.append(QJsonObject{
            {QStringLiteral("id"), row.id},
            {QStringLiteral("num"), row.key},
            {QStringLiteral("title"), row.title.isEmpty() ? row.text : row.title},
            {QStringLiteral("singer"), row.singer},
            {QStringLiteral("by"), row.by.name},
            {QStringLiteral("tag"), row.by.phone.isEmpty() ? QString() : tagOf(row.by.phone)},
        });
    }
    const QJsonObject json{
        {QStringLiteral("playing"), view.playing && !view.rows.empty()},
        {QStringLiteral("paused"), view.paused},
        {QStringLiteral("songs"), songs},
    };
    return QJsonDocument(json).toJson(QJsonDocument::Compact);
}
