#include "playback/record_file_name.h"

QString recordFileName(const QString &recordPath, const QDateTime &when, const QString &displayText)
{
    QString folder = recordPath;
    if (!folder.endsWith(QLatin1Char('/')) && !folder.endsWith(QLatin1Char('\\')))
        folder += QLatin1Char('/');
    QString song = displayText.trimmed();
    song.replace(QLatin1Char('/'), QLatin1Char('_'));
    song.replace(QChar(0), QLatin1Char('_'));
    return folder + when.toString(QStringLiteral("yyyyMMddHHmm")) + song + QStringLiteral(".wav");
}
