#pragma once

#include "catalogue/catalogue_store.h"
#include "catalogue/file_stamp.h"

#include <QString>

#include <memory>
#include <optional>

class ServerConnection;

// Claims on songs to measure, so that a venue measures each song once: a claim holds the song
// file's row of loudness_claim locked in a transaction of its own, on a connection of its own,
// while the room measures and stores through its store's connection. Another room's claim is
// passed over (SKIP LOCKED), never waited for; a room that ends or loses its connection lets go
// of its claim with it. One thread at a time.
class ServerLoudnessClaims
{
public:
    explicit ServerLoudnessClaims(QString connectionString);
    ~ServerLoudnessClaims();

    // The claim on the song's file (as the server names it): nothing when another room holds it,
    // or the server has the song's values for that file and stamp already. Throws DatabaseError.
    std::unique_ptr<LoudnessClaim> claim(const QString &songNum, const QString &serverFile,
                                         const std::optional<FileStamp> &stamp);

private:
    ServerConnection &connection();
    std::unique_ptr<LoudnessClaim> tryClaim(ServerConnection &server, const QString &songNum,
                                            const QString &serverFile, const std::optional<FileStamp> &stamp);

    QString m_connectionString;
    std::unique_ptr<ServerConnection> m_server;
};
