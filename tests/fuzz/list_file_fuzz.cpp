// List files as any bytes: decoded into lines of whole characters without line ends, each song
// line's fields trimmed and its count, when it is one, between 1 and 32767.
#include "fuzz_support.h"

#include "bulk/count_field.h"
#include "bulk/list_file.h"

namespace {

bool isTrimmed(const QString &text)
{
    return text == text.trimmed();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = fuzzInput(data, size);
    for (const QString &line : listFileLines(bytes)) {
        fuzzCheck(!line.contains(QLatin1Char('\n')) && !line.contains(QLatin1Char('\r')),
                  "a line holds no line end");
        fuzzCheck(QStringView(line).isValidUtf16(),
                  "a line is whole characters, damaged bytes replaced");
        const ListFileLine parsed = parseListFileLine(line);
        if (parsed.kind != ListFileLine::Kind::Song)
            continue;
        fuzzCheck(isTrimmed(parsed.media) && isTrimmed(parsed.title) && isTrimmed(parsed.kindName),
                  "file, title and kind are trimmed");
        fuzzCheck(isTrimmed(parsed.singer) && isTrimmed(parsed.count),
                  "singer and count are trimmed");
        if (const std::optional<int> count = listFileCount(parsed.count))
            fuzzCheck(*count >= 1 && *count <= 32767,
                  "a count is between 1 and 32767");
    }
    return 0;
}
