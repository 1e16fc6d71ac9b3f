#include "bulk/song_file_name.h"

#include "bulk/count_field.h"
#include "platform/file_name_bytes.h"

SongFileName parseSongFileName(const QString &baseName, const QStringList &kindNames)
{
    SongFileName name;
    if (isUnreadableFileName(baseName)) {
        name.formatError = FileNameError::NotUtf8;
        return name;
    }
    if (baseName.contains(QLatin1Char('\\'))) {
        name.formatError = FileNameError::Backslash;
        return name;
    }
    const QStringList fields = baseName.split(QLatin1Char(','));
    if (fields.size() != 4) {
        name.formatError = FileNameError::NotFourFields;
        return name;
    }
    name.singerField = fields[0].trimmed();
    name.title = fields[1].trimmed();
    name.kindName = fields[2].trimmed();
    name.kindCode = int(kindNames.indexOf(name.kindName));
    if (const std::optional<int> count = fileNameCount(fields[3]))
        name.count = *count;
    // The later test wins: a name with both a bad kind and a bad count shows the count.
    if (name.kindCode < 0)
        name.formatError = FileNameError::UnknownKind;
    if (name.count == kInvalidCount)
        name.formatError = FileNameError::BadCount;
    if (splitSingers(name.singerField).isEmpty() || name.title.isEmpty())
        name.formatError = FileNameError::NotFourFields;
    return name;
}

QStringList splitSingers(const QString &singerField)
{
    QStringList singers;
    for (const QString &part : singerField.split(QLatin1Char('+'))) {
        const QString singer = part.trimmed();
        if (!singer.isEmpty())
            singers.append(singer);
    }
    return singers;
}

QString baseNameOf(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? fileName : fileName.left(dot);
}

QString extensionOf(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : fileName.mid(dot + 1);
}

const QStringList &supportedExtensions()
{
    static const QStringList extensions = {QStringLiteral("dat"), QStringLiteral("mpg"), QStringLiteral("avi"),
                                           QStringLiteral("mpeg"), QStringLiteral("wav"), QStringLiteral("mp3"),
                                           QStringLiteral("mid"), QStringLiteral("cdg"), QStringLiteral("zip")};
    return extensions;
}

bool chkSupport(const QString &fileName)
{
    return supportedExtensions().contains(extensionOf(fileName), Qt::CaseInsensitive);
}
