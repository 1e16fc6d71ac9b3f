#include "venue/media_root.h"

#include "catalogue/song_files.h"
#include "core/file_path.h"

#include <QDir>

MediaRoot::MediaRoot(const QString &root, QString appPath)
    : m_appPath(std::move(appPath))
{
    if (!root.trimmed().isEmpty())
        m_root = QDir::cleanPath(resolvePath(m_appPath, root.trimmed()));
}

QString MediaRoot::toServer(const QString &location) const
{
    if (m_root.isEmpty())
        return location.trimmed();
    const QString path = songFilePath(m_appPath, location);
    if (path.startsWith(m_root + QLatin1Char('/')))
        return path.mid(m_root.size() + 1);
    return path;
}

QString MediaRoot::toRoom(const QString &location) const
{
    if (m_root.isEmpty() || location.startsWith(QLatin1Char('/')))
        return location;
    return m_root + QLatin1Char('/') + location;
}
