#pragma once

#include <QString>

// The message after a song is stored: "存入ok! 請進行下一首曲的" + work + "作業" (建檔 for one
// song, 批次 in a batch), telling first when the song could not keep the number it was
// offered because another program took that number meanwhile.
inline QString storedMessage(const QString &offered, const QString &stored, const QString &work)
{
    const QString done = QStringLiteral("存入ok! 請進行下一首曲的") + work + QStringLiteral("作業");
    if (offered.isEmpty() || offered == stored)
        return done;
    return QStringLiteral("編號%1已被使用, 這首歌存為編號%2\n").arg(offered, stored) + done;
}
