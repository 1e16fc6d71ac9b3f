#pragma once

#include <QString>

// Where this room mounts the venue's shared media folder (MediaRoot of Setting.ini). The server
// keeps a song file inside that folder by its path within it, so every room finds it under its
// own mount; a file elsewhere is kept by its full path. Without a MediaRoot locations are kept
// as they are written.
class MediaRoot
{
public:
    // root: absolute, or taken inside appPath; empty for none.
    MediaRoot(const QString &root, QString appPath);

    // A location as this room stores it, as the server keeps it.
    QString toServer(const QString &location) const;
    // A location the server keeps, as this room finds its file.
    QString toRoom(const QString &location) const;

private:
    QString m_root; // absolute, without a trailing "/"; empty for none
    QString m_appPath;
};
