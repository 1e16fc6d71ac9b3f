#include "catalogue/song_files.h"

#include "core/database.h"
#include "core/file_path.h"
#include "core/like_pattern.h"
#include "platform/cdg/cdg_song.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

// The locations an exact look-up cannot find; the catalogue keeps an index of just these.
const QString kOtherSpellings = QStringLiteral(
    "song_location NOT LIKE '/%' OR instr(song_location, '\\') > 0 OR instr(song_location, '/.') > 0 "
    "OR instr(song_location, '//') > 0");

QString canonical(const QString &path)
{
    const QString followed = QFileInfo(path).canonicalFilePath();
    return followed.isEmpty() ? path : followed;
}

QString lastComponent(const QString &location)
{
    const qsizetype separator = std::max(location.lastIndexOf(QLatin1Char('/')), location.lastIndexOf(QLatin1Char('\\')));
    return location.mid(separator + 1);
}

} // namespace

QString songFilePath(const QString &appPath, const QString &location)
{
    const QString trimmed = location.trimmed();
    if (trimmed.isEmpty())
        return trimmed;
    return QDir::cleanPath(resolvePath(appPath, trimmed));
}

bool isSameSongFile(const QString &a, const QString &b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    return a == b || canonical(a) == canonical(b);
}

QStringList songFileParts(const QString &path)
{
    QStringList parts{path};
    if (const QString partner = cdgPartnerPath(path); !partner.isEmpty())
        parts.append(partner);
    return parts;
}

RegisteredFiles::RegisteredFiles(Database &db, QString appPath)
    : m_db(db)
    , m_appPath(std::move(appPath))
{
}

bool RegisteredFiles::contains(const QString &path)
{
    bool found = false;
    m_db.forEachRow(QStringLiteral("SELECT 1 FROM song WHERE song_location = ? COLLATE BINARY LIMIT 1"), {path},
                    [&found](const RowView &) {
                        found = true;
                        return false;
                    });
    if (found)
        return true;
    if (!m_otherSpellings) {
        m_otherSpellings.emplace();
        m_db.forEachRow(QStringLiteral("SELECT song_location FROM song WHERE ") + kOtherSpellings, {},
                        [this](const RowView &row) {
                            m_otherSpellings->insert(songFilePath(m_appPath, row.text(0)));
                            return true;
                        });
    }
    return m_otherSpellings->contains(path);
}

bool RegisteredFiles::containsSong(const QString &path)
{
    const QStringList parts = songFileParts(path);
    return std::any_of(parts.begin(), parts.end(), [this](const QString &part) { return contains(part); });
}

void RegisteredFiles::add(const QString &path)
{
    if (m_otherSpellings)
        m_otherSpellings->insert(path);
}

// Every location that ends in the file's name is a candidate, whatever its spelling; each is
// resolved and compared as a file.
QStringList songsUsingFile(Database &db, const QString &appPath, const QString &path, const QString &exceptNum)
{
    QStringList numbers;
    const QString name = lastComponent(path);
    if (name.isEmpty())
        return numbers;
    db.forEachRow(QStringLiteral("SELECT DISTINCT song_num, song_location FROM song WHERE song_location LIKE ?")
                      + kLikeEscape + QStringLiteral(" AND song_num <> ?"),
                  {likeFragment(name), exceptNum}, [&](const RowView &row) {
                      const QString number = row.text(0);
                      if (!numbers.contains(number) && isSameSongFile(songFilePath(appPath, row.text(1)), path))
                          numbers.append(number);
                      return true;
                  });
    return numbers;
}
