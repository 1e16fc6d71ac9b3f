#pragma once

#include "core/catalogue_file.h"
#include "core/database.h"
#include "support/private_server.h"
#include "core/database.h"
#include "support/temp_home.h"
#include "venue/venue_room.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

// The test run's own PostgreSQL cluster, made once by the test program's main.
PrivateServer &testServer();

// A room of a venue: a program folder whose Setting.ini names the catalogue server and the
// shared media folder, with loudness measuring off so that only registrations change songs.
class Room
{
public:
    Room(const QString &serverUrl, const QString &mediaRoot);

    QString path() const { return m_home.path(); }
    QString catalogue() const { return m_home.file(QStringLiteral("karaoke.mdb")); }
    // One number from the room's copy (0 while the file cannot be read).
    qint64 count(const QString &sql) const;
    qint64 songs() const { return count(QStringLiteral("SELECT count(*) FROM song")); }

    // The program in this room: a task run to its end, or the jukebox left running.
    struct Run
    {
        int exitCode = -1;
        QString output;
    };
    Run run(const QStringList &arguments, int timeoutMs = 120000) const;
    std::unique_ptr<QProcess> startJukebox() const;
    std::unique_ptr<QProcess> startTask(const QStringList &arguments) const;

private:
    TempHome m_home;
};

// A room in this process: its catalogue file, and the venue pieces around it.
struct LocalRoom
{
    LocalRoom(const QString &url, const QString &mediaRoot);
    qint64 count(const QString &sql) { return db.OpenRecordset(sql).value(0).toLongLong(); }
    QString text(const QString &sql) { return db.OpenRecordset(sql).value(0).toString(); }

    TempHome home;
    Database db{home.file(QStringLiteral("karaoke.mdb"))};
    std::unique_ptr<VenueRoom> venue;
};

// Waits up to timeoutMs for done(); true when it came.
bool waitFor(const std::function<bool()> &done, int timeoutMs);

// n empty song files named s<first>.mpg ... in folder, and a list file naming them with titles
// "曲<tag><number>" of the singer, spread over two kinds and five counts; the list's path.
QString writeSongList(const QString &folder, const QString &tag, const QString &singer, int first, int n);

// The venue tests need the private cluster; the install script provides PostgreSQL.
#define REQUIRE_SERVER()                                                                           \
    if (!testServer().running())                                                                   \
    FAIL() << "no PostgreSQL for the venue tests (scripts/install-deps.sh installs it): "          \
           << testServer().problem().toStdString()
