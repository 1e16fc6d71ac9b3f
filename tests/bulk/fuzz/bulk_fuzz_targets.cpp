#include "bulk_fuzz_targets.h"

#include "bulk/count_field.h"
#include "bulk/file_row.h"
#include "bulk/list_file.h"
#include "bulk/song_file_name.h"
#include "core/shared_state.h"

#include <QByteArray>

#include <cstdlib>

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

bool isTrimmed(const QString &text)
{
    return text == text.trimmed();
}

} // namespace

int fuzzSongFileName(const uint8_t *data, size_t size)
{
    const QString fileName = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const SongFileName name = parseSongFileName(baseNameOf(fileName), songKindNameTable());
    require(isTrimmed(name.singerField) && isTrimmed(name.title) && isTrimmed(name.kindName));
    if (name.formatError == FileNameError::None) {
        require(name.count >= 1 && name.count <= 254);
        require(name.kindCode >= 0 && name.kindCode < 8);
        require(!name.title.isEmpty() && !splitSingers(name.singerField).isEmpty());
    }
    for (const QString &singer : splitSingers(name.singerField))
        require(!singer.isEmpty() && isTrimmed(singer) && !singer.contains(QLatin1Char('+')));
    FileRow row;
    row.path = QStringLiteral("/songs/") + fileName;
    row.singerField = name.singerField;
    row.title = name.title;
    row.kindName = name.kindName;
    row.count = name.count;
    row.formatError = name.formatError;
    row.confirmed = name.formatError == FileNameError::None;
    require(!lstFileContent(row).isEmpty());
    require(!selectionMessage(row).text.isEmpty());
    chkSupport(fileName);
    return 0;
}

int fuzzListFile(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const QString &line : listFileLines(bytes)) {
        require(!line.contains(QLatin1Char('\n')) && !line.contains(QLatin1Char('\r')));
        const ListFileLine parsed = parseListFileLine(line);
        if (parsed.kind != ListFileLine::Kind::Song)
            continue;
        require(isTrimmed(parsed.media) && isTrimmed(parsed.title) && isTrimmed(parsed.kindName));
        require(isTrimmed(parsed.singer) && isTrimmed(parsed.count));
        if (const std::optional<int> count = listFileCount(parsed.count))
            require(*count >= 1 && *count <= 32767);
    }
    return 0;
}
