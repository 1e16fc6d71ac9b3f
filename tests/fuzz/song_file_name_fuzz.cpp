// Song file names as any bytes a folder may hold: the name gives its bytes back, the parsed fields
// are trimmed, a name without format error has a kind, a count of 1 to 254, a title and singers
// and can be stored and opened again, and every status line is readable text.
#include "fuzz_support.h"

#include "bulk/count_field.h"
#include "bulk/file_row.h"
#include "bulk/song_file_name.h"
#include "core/shared_state.h"
#include "platform/file_name_bytes.h"

namespace {

bool isTrimmed(const QString &text)
{
    return text == text.trimmed();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = fuzzInput(data, size);
    const QString fileName = fileNameFromBytes(bytes);
    fuzzCheck(fileNameBytes(fileName) == bytes,
                  "a name gives its bytes back");
    const QString baseName = baseNameOf(fileName);
    const SongFileName name = parseSongFileName(baseName, songKindNameTable());
    fuzzCheck(isTrimmed(name.singerField) && isTrimmed(name.title) && isTrimmed(name.kindName),
                  "singers, title and kind are trimmed");
    if (name.formatError == FileNameError::None) {
        fuzzCheck(name.count >= 1 && name.count <= 254,
                  "a good name's count is between 1 and 254");
        fuzzCheck(name.kindCode >= 0 && name.kindCode < 8,
                  "a good name has one of the eight kinds");
        fuzzCheck(!name.title.isEmpty() && !splitSingers(name.singerField).isEmpty(),
                  "a good name has a title and a singer");
        fuzzCheck(!isUnreadableFileName(baseName) && !baseName.contains(QLatin1Char('\\')),
                  "a good name is text without \"\\\"");
    }
    for (const QString &singer : splitSingers(name.singerField))
        fuzzCheck(!singer.isEmpty() && isTrimmed(singer) && !singer.contains(QLatin1Char('+')),
                  "each singer is a trimmed name without \"+\"");
    FileRow row;
    row.path = QStringLiteral("/songs/") + fileName;
    row.singerField = name.singerField;
    row.title = name.title;
    row.kindName = name.kindName;
    row.count = name.count;
    row.formatError = name.formatError;
    row.confirmed = name.formatError == FileNameError::None;
    fuzzCheck(!lstFileContent(row).isEmpty() && QStringView(lstFileContent(row)).isValidUtf16(),
                  "every row has a status line of readable text");
    fuzzCheck(!selectionMessage(row).text.isEmpty(),
                  "every row has a click message");
    chkSupport(fileName);
    return 0;
}

