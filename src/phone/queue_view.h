#pragma once

#include "core/play_queue.h"

#include <QByteArray>
#include <QHash>
#include <QJsonArray>

#include <functional>
#include <vector>

// The queue as the phones see it: the song playing (when the jukebox plays the queue, row
// 0), then the waiting songs in order, each with who ordered it.
struct QueueView
{
    std::vector<QueueRow> rows;
    bool playing = false; // row 0 is the song playing (or starting, or paused)
    bool paused = false;
    bool unsaved = false; // the queue cannot be saved now: a crash would lose what changed
};

// The view as one line of JSON per phone. The first kShown songs go to every phone in full,
// with how many are queued in all; a phone's own songs further down are added for that phone
// alone ("mine"), so that 200 phones never each receive a queue of thousands. A song's phone
// is never shown: tagOf turns it into a tag by which its own phone, and no other, knows it.
class QueueViewJson
{
public:
    static constexpr int kShown = 100;

    QueueViewJson() = default;
    QueueViewJson(const QueueView &view, const std::function<QString(const QString &phone)> &tagOf);

    // What the phone with that id reads; an empty id gets no songs of its own. Phones without
    // songs further down all get the same bytes, shared rather than copied.
    QByteArray forPhone(const QString &phone) const;
    bool hasSongsFurtherDown(const QString &phone) const { return m_later.contains(phone); }

private:
    QByteArray m_shared; // the JSON object without its closing brace
    QByteArray m_withoutOwn;
    QHash<QString, QJsonArray> m_later;
};
