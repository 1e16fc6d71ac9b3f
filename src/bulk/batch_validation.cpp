#include "bulk/batch_validation.h"

#include "bulk/count_field.h"
#include "bulk/list_file.h"
#include "bulk/media_file_resolver.h"
#include "bulk/progress.h"
#include "catalogue/record_checks.h"
#include "core/text_encoding.h"
#include "platform/cdg/cdg_song.h"
#include "platform/file_system.h"

namespace {

// A message box cannot show a line of a hundred thousand characters; its start names it well enough.
constexpr int kShownLineLength = 200;

QString shownLine(const QString &line)
{
    return line.size() <= kShownLineLength ? line : line.left(kShownLineLength) + QStringLiteral("…");
}

QString lineProblem(const QString &line, const QString &reason)
{
    return QStringLiteral("您所指定的批次檔中=>") + shownLine(line) + QStringLiteral("<=") + reason;
}

// The song of one line, or the message that stops the run.
QString checkLine(const QString &line, const ListFileLine &fields, const QStringList &kindNames,
                  MediaFileResolver &resolver, BatchSong *song)
{
    if (holdsUnreadableText(line))
        return lineProblem(line, QStringLiteral("有無法讀取的字,請檢查檔案的編碼!"));
    if (fields.kind == ListFileLine::Kind::TooFewFields)
        return QStringLiteral("批次檔內容錯誤 !\n") + shownLine(line);
    song->filePath = resolver.resolve(fields.media);
    if (song->filePath.isEmpty())
        return lineProblem(line, QStringLiteral("找不到指定的檔!"));
    if (const CdgSong cdg = findCdgSong(song->filePath); cdg.isCdg && !cdg.playable())
        return lineProblem(line, cdg.problem + QLatin1Char('!'));
    if (const QString problem = titleProblem(fields.title); !problem.isEmpty())
        return lineProblem(line, problem + QLatin1Char('!'));
    if (const QString problem = singerNameProblem(fields.singer); !problem.isEmpty())
        return lineProblem(line, problem + QLatin1Char('!'));
    song->kindCode = int(kindNames.indexOf(fields.kindName));
    if (song->kindCode < 0)
        return lineProblem(line, QStringLiteral("找不到指定的歌曲種類!"));
    const std::optional<int> count = listFileCount(fields.count);
    if (!count)
        return lineProblem(line, QStringLiteral("所定義的字數有問題!"));
    song->count = *count;
    song->line = line;
    song->title = fields.title;
    song->singer = fields.singer;
    return {};
}

} // namespace

BatchCheck validateListFile(const FileSystem &fs, const QStringList &kindNames, const QString &listPath,
                            Progress &progress)
{
    BatchCheck check;
    bool readable = false;
    const QByteArray bytes = fs.fileExists(listPath) ? fs.readAll(listPath, &readable) : QByteArray();
    if (!readable) {
        check.message = kListFileMissing;
        return check;
    }
    const QStringList lines = listFileLines(bytes);
    MediaFileResolver resolver(fs, folderOf(absolutePathOf(listPath)));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const ListFileLine fields = parseListFileLine(lines[i]);
        if (fields.kind == ListFileLine::Kind::Ignored)
            continue;
        BatchSong song;
        check.message = checkLine(lines[i], fields, kindNames, resolver, &song);
        if (!check.ok()) {
            check.songs.clear();
            return check;
        }
        check.songs.push_back(std::move(song));
        if (!progress.step(int(i + 1), int(lines.size()), QString())) {
            check.songs.clear();
            check.message = kListCheckStopped;
            check.stopped = true;
            return check;
        }
    }
    return check;
}
