#pragma once

#include <QJsonObject>

// The jukebox's answer to a phone: the HTTP status and the JSON the page reads. A refusal
// carries {"error": the message the page shows}. A change of the queue is answered only once
// the queue up to revision is on disk.
struct PhoneAnswer
{
    int status = 200;
    QJsonObject body;
    quint64 revision = 0; // 0: nothing to wait for

    static PhoneAnswer ok(QJsonObject body = {}, quint64 revision = 0)
    {
        body.insert(QStringLiteral("ok"), true);
        return {200, body, revision};
    }
    static PhoneAnswer refused(int status, const QString &message)
    {
        return {status, QJsonObject{{QStringLiteral("error"), message}}};
    }
};
