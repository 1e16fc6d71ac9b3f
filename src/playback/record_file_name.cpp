#include "playback/record_file_name.h"

#include "core/file_path.h"

QString recordFileName(const QString &recordPath, const QDateTime &when, const QString &displayText)
{
    QString folder = recordPath;
    if (!endsWithSeparator(folder))
        folder += QLatin1Char('/');
    QString song = displayText.trimmed();
    song.replace(QLatin1Char('/'), QLatin1Char('_'));
    song.replace(QLatin1Char('\\'), QLatin1Char('_'));
    song.replace(QChar(0), QLatin1Char('_'));
    return folder + when.toString(QStringLiteral("yyyyMMddHHmm")) + song + QStringLiteral(".wav");
}
