#include "playback/queue_advance.h"

#include "catalogue/song_files.h"
#include "core/database_error.h"
#include "core/lookups.h"
#include "core/shared_state.h"
#include "platform/media_player.h"
#include "playback/playback_context.h"

#include <QTimer>

QueueAdvance::QueueAdvance(PlaybackContext &context)
    : m_context(context)
{
}

QueueAdvance::Changing::Changing(QueueAdvance &queue)
    : m_queue(queue)
    , m_outer(!queue.m_changing)
{
    m_queue.m_changing = true;
}

QueueAdvance::Changing::~Changing()
{
    if (m_outer)
        m_queue.m_changing = false;
}

void QueueAdvance::start()
{
    if (m_context.state.OrderedSongs.isEmpty())
        return;
    m_context.nextUp();
    if (!m_context.wait(3))
        return;
    // Timer1 may have started the same song meanwhile; it is not started twice.
    if (songUnderway())
        return;
    playHead();
}

bool QueueAdvance::play_next()
{
    if (m_changing)
        return false;
    const Changing changing(*this);
    m_context.Timer2.stop();
    m_context.Timer1.stop();
    m_context.wmp1.stop();
    m_context.Load_Background(1);
    PlayQueue &queue = m_context.state.OrderedSongs;
    queue.removeAt(0);
    m_context.queueAdvanced();
    if (m_context.afterSong && !m_context.afterSong())
        return false;
    bool started = false;
    if (!queue.isEmpty()) {
        m_context.nextUp();
        if (!m_context.wait(3))
            return false;
        started = playHead();
    } else {
        m_context.wmp1.close();
        m_context.showMessage(QString());
    }
    m_context.Timer2.start();
    m_context.Timer1.start();
    return started;
}

bool QueueAdvance::playHead(const std::function<void()> &beforePlay)
{
    MediaPlayer &wmp = m_context.wmp1;
    const std::optional<QString> url = headUrl();
    if (!url) {
        // Nothing open, so Timer2 sees no finished song to drop and Timer1 tries again.
        wmp.close();
        return false;
    }
    m_context.Load_Background(0);
    const QString missing = wmp.missingParts();
    if (!missing.isEmpty() && !m_toldMissingParts) {
        m_toldMissingParts = true;
        m_context.showMessage(missing);
    } else {
        m_context.showMessage(m_context.state.OrderedSongs.row(0).text);
    }
    if (beforePlay)
        beforePlay();
    wmp.setUrl(*url);
    m_context.songOpening();
    wmp.play();
    m_context.songStarted();
    return true;
}

std::optional<QString> QueueAdvance::headUrl()
{
    if (!m_context.wmp1.canPlay()) {
        m_context.showMessage(m_context.wmp1.missingParts());
        return std::nullopt;
    }
    const SharedState &state = m_context.state;
    const QString number = state.OrderedSongs.head();
    const QString fileUrl = QStringLiteral("file://");
    try {
        const QString location = GetSongLocation(state, number);
        m_catalogueWasBusy = false;
        // A song whose record is gone fails to play like a missing file, and the queue moves on.
        if (location == kNotFoundText + number)
            return fileUrl + location;
        return fileUrl + songFilePath(state.AppPath, location);
    } catch (const CatalogueBusy &e) {
        // Another program holds the catalogue: the song is there, only not now.
        if (!m_catalogueWasBusy)
            qWarning("song %s waits for the catalogue: %s", qPrintable(number), qPrintable(e.message()));
        m_catalogueWasBusy = true;
        return std::nullopt;
    } catch (const DatabaseError &e) {
        qWarning("song %s cannot be looked up: %s", qPrintable(number), qPrintable(e.message()));
        return fileUrl + kNotFoundText + number;
    }
}

bool QueueAdvance::songUnderway() const
{
    const PlayState s = m_context.wmp1.playState();
    return s == PlayState::Playing || s == PlayState::Transitioning;
}

bool QueueAdvance::reportIsStale() const
{
    return m_changing || songUnderway();
}

void QueueAdvance::songEnded()
{
    if (!reportIsStale())
        play_next();
}

void QueueAdvance::songFailed(const QString &reason)
{
    qWarning("song %s cannot play: %s", qPrintable(m_context.state.OrderedSongs.head()), qPrintable(reason));
    if (reportIsStale())
        return;
    m_context.showMessage(QStringLiteral("無法播放: ") + m_context.state.OrderedSongs.row(0).text);
    play_next();
}

void QueueAdvance::Timer1_Timer()
{
    const PlayState s = m_context.wmp1.playState();
    if ((s != PlayState::Undefined && s != PlayState::Ready) || m_context.state.OrderedSongs.isEmpty())
        return;
    m_context.Timer2.stop();
    playHead();
    m_context.Timer2.start();
}
