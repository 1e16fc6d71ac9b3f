#pragma once

#include "core/play_queue.h"

#include <QByteArray>

#include <functional>
#include <vector>

// The queue as the phones see it: the song playing (when the jukebox plays the queue, row
// 0), then the waiting songs in order, each with who ordered it.
struct QueueView
{
    std::vector<QueueRow> rows;
    bool playing = false; // row 0 is the song playing (or starting, or paused)
    bool paused = false;
};

// The view as one line of JSON. A song's phone is never shown: tagOf turns it into a tag
// by which the phone that ordered it, and no other, knows its own songs.
QByteArray queueViewJson(const QueueView &view, const std::function<QString(const QString &phone)> &tagOf);
