#include "bulk/list_file.h"

#include "core/text_encoding.h"

#include <QDir>
#include <QRegularExpression>

namespace {
constexpr int kFieldCount = 5;

qsizetype lastSeparator(const QString &path)
{
    return qMax(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
}
} // namespace

ListFileLine parseListFileLine(const QString &line)
{
    ListFileLine parsed;
    const QString content = line.trimmed();
    if (content.isEmpty() || content.startsWith(QLatin1Char('#')))
        return parsed;
    const QStringList fields = line.split(QLatin1Char(','));
    if (fields.size() < kFieldCount) {
        parsed.kind = ListFileLine::Kind::TooFewFields;
        return parsed;
    }
    parsed.kind = ListFileLine::Kind::Song;
    parsed.media = fields[0].trimmed();
    parsed.title = fields[1].trimmed();
    parsed.kindName = fields[2].trimmed();
    parsed.singer = fields[3].trimmed();
    parsed.count = fields[4].trimmed();
    return parsed;
}

QStringList listFileLines(const QByteArray &bytes)
{
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\n|\r"));
    QStringList lines = decodeText(bytes).split(lineEnd);
    // The line end after the last line does not start another one.
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QString absolutePathOf(const QString &path)
{
    QString native = path;
    native.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return QDir::cleanPath(QDir::current().absoluteFilePath(native));
}

QString folderOf(const QString &path)
{
    const qsizetype separator = lastSeparator(path);
    return separator < 0 ? QString() : path.left(separator);
}

QString fileNameOf(const QString &path)
{
    return path.mid(lastSeparator(path) + 1);
}
