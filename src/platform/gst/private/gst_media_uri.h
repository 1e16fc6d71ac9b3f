#pragma once

#include <QString>

// Turns the jukebox's "file://" + raw path into a URI playbin accepts. Callers never
// URL-encode the path, so blanks, CJK, '#', '%' and apostrophes arrive as they are. A CD+G
// song gets the URI of the source that plays its pictures with its sound.
class GstMediaUri
{
public:
    static QString fromUrl(const QString &url);
    // The local path behind a "file://" URL; empty for any other URL.
    static QString localPath(const QString &url);
};
