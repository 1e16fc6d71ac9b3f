#include "bulk/media_file_resolver.h"

#include "bulk/song_file_name.h"
#include "platform/cdg/cdg_song.h"
#include "platform/file_system.h"

namespace {

// A name of a file in the list's own folder: a control character (a NUL read from a damaged
// list) or a folder part ("../../Setting.ini") would name another file.
bool isPlainName(const QString &name)
{
    for (QChar c : name) {
        if (c.unicode() < 0x20 || c == QLatin1Char('/') || c == QLatin1Char('\\'))
            return false;
    }
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..");
}

// What the base name must end in: a number written with at least two digits, other text as it is.
QString wantedEnding(const QString &field)
{
    bool isNumber = false;
    const qulonglong number = field.toULongLong(&isNumber);
    if (!isNumber)
        return field;
    return QStringLiteral("%1").arg(number, 2, 10, QLatin1Char('0'));
}

// A CD+G pair is registered as its .mp3, whichever of its files a line names, so it is
// registered once.
QString asSongFile(const QString &path)
{
    if (path.isEmpty() || extensionOf(path).compare(QLatin1String("cdg"), Qt::CaseInsensitive) != 0)
        return path;
    const QString partner = cdgPartnerPath(path);
    return partner.isEmpty() ? path : partner;
}

} // namespace

MediaFileResolver::MediaFileResolver(const FileSystem &fs, QString folder)
    : m_fs(fs)
    , m_folder(folder.isEmpty() ? QStringLiteral(".") : std::move(folder))
{
}

QString MediaFileResolver::resolve(const QString &field)
{
    if (!isPlainName(field))
        return {};
    const QString exact = m_folder + QLatin1Char('/') + field;
    if (chkSupport(field) && m_fs.fileExists(exact))
        return asSongFile(exact);
    if (!m_indexed)
        indexFolder();
    const auto found = m_firstByEnding.constFind(wantedEnding(field).toCaseFolded());
    return found == m_firstByEnding.constEnd() ? QString() : asSongFile(m_folder + QLatin1Char('/') + m_files[*found]);
}

void MediaFileResolver::indexFolder()
{
    m_indexed = true;
    m_files = m_fs.listFiles(m_folder);
    for (int i = 0; i < m_files.size(); ++i) {
        if (!chkSupport(m_files[i]))
            continue;
        const QString base = baseNameOf(m_files[i]).toCaseFolded();
        // File names are short (255 bytes at most), so every ending of every name fits in memory.
        for (qsizetype length = 1; length <= base.size(); ++length) {
            const QString ending = base.right(length);
            if (!m_firstByEnding.contains(ending))
                m_firstByEnding.insert(ending, i);
        }
    }
}
