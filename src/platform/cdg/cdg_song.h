#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// One part of a CD+G song: a file, or a member of a zip file.
struct CdgSongPart
{
    QString file;
    int member = -1; // the member's index in the zip file; -1 for the file itself

    bool inZip() const { return member >= 0; }
};

// A song file that plays MP3 sound with CD+G pictures: an X.cdg with an X.mp3 beside it, an
// X.mp3 with an X.cdg beside it (the same name in any letter case), or a zip file holding one
// .cdg and one .mp3 (their names may differ).
struct CdgSong
{
    bool isCdg = false; // a .cdg or .zip file, or an .mp3 with a .cdg beside it
    CdgSongPart pictures;
    CdgSongPart sound;
    QString problem; // why it cannot play, in the owner's words (without the path); empty when it can
    bool fileMissing = false; // the problem is a file that is not there (it may come back)

    bool playable() const { return isCdg && problem.isEmpty(); }
};

// What the song file at path is made of. Reads the folder (for the file beside) or the zip
// file's list of members, nothing more.
CdgSong findCdgSong(const QString &path);

// The same test on the name alone: a .cdg or a .zip (what the song file must hold is not looked at).
bool hasCdgSongExtension(const QString &fileName);

// The files of one folder by their names, to pair each .mp3 with its .cdg without reading the
// folder again for each.
class CdgPartners
{
public:
    explicit CdgPartners(const QStringList &names);

    // For an .mp3 the .cdg of the same name, for a .cdg the .mp3, in any letter case; empty
    // when there is none (or for a name of any other kind).
    QString partnerOf(const QString &name) const;

private:
    QHash<QString, QString> m_byFoldedName;
};

// The file beside path that partnerOf would name, as a path; empty when there is none.
QString cdgPartnerPath(const QString &path);
