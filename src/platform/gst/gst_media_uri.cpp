#include "gst_media_uri.h"

#include <QFileInfo>

#include <gst/gst.h>

namespace {
const QString kFilePrefix = QStringLiteral("file://");
}

QString GstMediaUri::localPath(const QString &url)
{
    if (!url.startsWith(kFilePrefix, Qt::CaseInsensitive))
        return {};
    return url.mid(kFilePrefix.size());
}

QString GstMediaUri::fromUrl(const QString &url)
{
    const QString path = localPath(url);
    if (path.isEmpty())
        return url;
    const QByteArray absolute = QFile::encodeName(QFileInfo(path).absoluteFilePath());
    gchar *uri = gst_filename_to_uri(absolute.constData(), nullptr);
    if (!uri)
        return url;
    const QString result = QString::fromUtf8(uri);
    g_free(uri);
    return result;
}
