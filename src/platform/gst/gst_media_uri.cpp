#include "gst_media_uri.h"

#include "gst_cdg_source.h"

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
    const QString absolutePath = QFileInfo(path).absoluteFilePath();
    if (const QString cdg = GstCdgSource::uriFor(absolutePath); !cdg.isEmpty())
        return cdg;
    const QByteArray absolute = QFile::encodeName(absolutePath);
    gchar *uri = gst_filename_to_uri(absolute.constData(), nullptr);
    if (!uri)
        return url;
    const QString result = QString::fromUtf8(uri);
    g_free(uri);
    return result;
}
