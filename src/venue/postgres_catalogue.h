#pragma once

#include "catalogue/catalogue_master.h"
#include "venue/media_root.h"

#include <QString>

#include <functional>
#include <memory>

class RoomCopy;
class ServerConnection;

// The venue's catalogue server as the master of a room's catalogue: every change is one
// transaction there, the next song number is decided there under a lock per number prefix,
// and the room's copy is brought up to the change before the call returns (at the end of a
// group inside one). The connection is made at the first change and kept; one lost meanwhile
// (the server restarted) is made again before a change begins; a new connection brings the
// copy up first, and a room whose copy is not the server's writes nothing. One thread at a time.
class PostgresCatalogue : public CatalogueMaster
{
public:
    PostgresCatalogue(QString connectionString, MediaRoot mediaRoot, RoomCopy &copy);
    ~PostgresCatalogue() override;

    Registration registerSong(const NewSong &song, const QString &path, const RegistrationRules &rules) override;
    void updateSong(const SongRecord &song) override;
    void renameSong(const QString &songNum, const QString &title) override;
    void deleteSong(const QString &songNum) override;
    qint64 insertSinger(const QString &name, int sex) override;
    void updateSinger(qint64 code, const QString &name, int sex) override;
    void deleteSinger(qint64 code) override;
    void storeLoudness(const SongToMeasure &song, int state, const SongLoudness &loudness) override;
    void beginGroup() override;
    void endGroup() override;

private:
    // Runs work in one transaction on the server; work returns whether it changed anything.
    void change(const std::function<bool(ServerConnection &)> &work);
    ServerConnection &begin();
    void catchUpCopy();

    QString m_connectionString;
    MediaRoot m_mediaRoot;
    RoomCopy &m_copy;
    std::unique_ptr<ServerConnection> m_server;
    bool m_grouped = false;
    bool m_changedInGroup = false;
};
