#include "core/file_path.h"

#include <QDir>

QString resolvePath(const QString &appPath, const QString &path)
{
    if (path.isEmpty())
        return path;
    QString native = path;
    native.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (native.startsWith(QLatin1Char('/')))
        return native;
    return QDir(appPath).filePath(native);
}

bool endsWithSeparator(const QString &path)
{
    return path.endsWith(QLatin1Char('/')) || path.endsWith(QLatin1Char('\\'));
}
