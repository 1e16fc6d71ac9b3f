#pragma once

#include <QtGlobal>

// What the strangers on a room's network can take from the jukebox at once, chosen well below
// the process's open-file limit so that playing a song always finds the files it needs.
struct ConnectionLimits
{
    int inAll = 1024;
    int perAddress = 16;
    // A request arrives whole within this time of the connection's opening or of the answer
    // before it, however slowly it trickles; an answer goes out within answerMs of its request.
    int requestMs = 10000;
    int answerMs = 30000;
    qint64 maxRequestBytes = 64 * 1024;
    // Live queues: per address, per phone (a new one drops the oldest), and what may wait
    // unsent for a phone that stopped reading before it is dropped.
    int streamsPerAddress = 4;
    int streamsPerPhone = 2;
    qint64 maxUnsentBytes = 256 * 1024;
    // After the system refused to accept a connection (no descriptors left, say), accepting
    // starts again after this long.
    int acceptRetryMs = 250;

    // The limits for a process that may hold openFiles descriptors: connections take at most
    // a quarter of them.
    static ConnectionLimits forOpenFiles(qint64 openFiles)
    {
        ConnectionLimits limits;
        limits.inAll = int(qBound(qint64(limits.perAddress), openFiles / 4, qint64(limits.inAll)));
        return limits;
    }
};
