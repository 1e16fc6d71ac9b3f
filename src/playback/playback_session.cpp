#include "playback/playback_session.h"

#include "core/file_path.h"
#include "core/settings.h"
#include "core/shared_state.h"
#include "core/small_routines.h"
#include "platform/clock.h"
#include "platform/mci_device.h"
#include "platform/media_player.h"
#include "platform/services.h"
#include "playback/playback_context.h"
#include "playback/queue_advance.h"
#include "playback/recording_repair.h"
#include "playback/song_restart.h"
#include "playback/song_scoring.h"
#include "playback/sound_controls.h"

#include <QTimer>

PlaybackSession::PlaybackSession(SharedState &state, Services &services, QObject *parent)
    : QObject(parent)
    , m_state(state)
    , m_services(services)
    , m_wmp1(services.mediaPlayers.create())
    , m_timer1(new QTimer(this))
    , m_timer2(new QTimer(this))
{
    m_context = std::make_unique<PlaybackContext>(PlaybackContext{
        state, services, *m_wmp1, *m_timer1, *m_timer2,
        [this](double seconds) { return wait(seconds); },
        [this](int mode) { Load_Background(mode); },
        [this](const QString &text) { showMessage(text); },
        [this] {
            m_sound->loadSong(m_state.OrderedSongs.head());
            startInRememberedKey();
            if (m_scoring)
                m_scoring->songOpening(m_state.OrderedSongs.head(), m_wmp1->url().mid(QStringLiteral("file://").size()),
                                        m_sound->key());
        },
        [this] {
            setPaused(false);
            emit songStarted();
        },
        [this] {
            emit songLeaving();
            if (m_sound->resetKey())
                emit keyChanged(0);
            emit queueAdvanced();
        },
        [this] { emit nextUp(); },
        [this] { return showScore(); },
    });
    m_take = std::make_unique<RecordingTake>(*m_context);
    m_queue = std::make_unique<QueueAdvance>(*m_context);
    m_restart = std::make_unique<SongRestart>(*m_context, *m_queue, *m_take);
    m_sound = std::make_unique<SoundControls>(*m_context);

    connect(m_take.get(), &RecordingTake::stateChanged, this, &PlaybackSession::takeStateChanged);
    connect(m_wmp1.get(), &MediaPlayer::playStateChanged, this, &PlaybackSession::onPlayStateChanged);
    connect(m_wmp1.get(), &MediaPlayer::endOfStream, this, [this] {
        if (!m_open)
            return;
        endScoredSong();
        if (m_queue->endIsCurrent())
            emit songReachedEnd();
        m_queue->songEnded();
    });
    connect(m_wmp1.get(), &MediaPlayer::error, this, [this](const QString &reason) {
        if (!m_open)
            return;
        abandonScore();
        m_queue->songFailed(reason);
    });
    connect(this, &PlaybackSession::keyChanged, this, [this](int semitones) {
        if (m_scoring)
            m_scoring->keyChanged(semitones);
        if (m_startingKey)
            emit messageChanged(keyCaption(m_message));
    });
    connect(&services.mci, &MciDevice::failed, this, [this](const QString &message) {
        if (m_open)
            m_take->deviceFailed(message);
    });

    m_state.SoundChannel = 2;
    m_state.Recording = false;
    // Takes cut off by a crash get their sizes back before anyone plays them.
    repairRecordings(services.fileSystem, resolvePath(state.AppPath, state.settings.RecordPath));

    // Timer1's five seconds pass as fast as the program's other waits.
    m_timer1->setInterval(5 * services.clock.millisecondsPerSecond());
    connect(m_timer1, &QTimer::timeout, this, [this] { m_queue->Timer1_Timer(); });
    m_timer2->setInterval(100);
    connect(m_timer2, &QTimer::timeout, this, &PlaybackSession::Timer2_Timer);
    m_timer1->start();
    m_timer2->start();
}

PlaybackSession::~PlaybackSession()
{
    close();
}

void PlaybackSession::start()
{
    if (m_started || !m_open)
        return;
    m_started = true;
    m_queue->start();
}

void PlaybackSession::close()
{
    if (!m_open)
        return;
    m_open = false;
    abandonScore();
    m_take->end();
    m_take->cancelRetaking();
    m_timer1->stop();
    m_timer2->stop();
    m_wmp1->stop();
    m_wmp1->close();
    emit closed();
}

bool PlaybackSession::wait(double seconds)
{
    if (!m_open)
        return false;
    WaitSeconds(m_services.clock, seconds);
    return m_open;
}

bool PlaybackSession::HandleHotKey(int k)
{
    switch (k) {
    case '*':
        nextSoundChannel();
        return true;
    case '/':
        skip();
        return true;
    // The channel hot keys act as the mixer's keys "1", "2", "3": left, centre, right.
    case Settings::HotKeySoundChannel1:
        setSoundChannel(2);
        return true;
    case Settings::HotKeySoundChannel2:
        setSoundChannel(1);
        return true;
    case Settings::HotKeySoundChannel3:
        setSoundChannel(3);
        return true;
    case Settings::HotKeyRecord:
        record();
        return true;
    case Settings::HotKeyPause:
        togglePause();
        return true;
    case Settings::HotKeyReplay:
        singAgain();
        return true;
    case Settings::HotKeyVolIncrease:
        stepVolume(true);
        return true;
    case Settings::HotKeyVolDecrease:
        stepVolume(false);
        return true;
    default:
        return false;
    }
}

void PlaybackSession::skip()
{
    if (!m_open || m_wmp1->playState() != PlayState::Playing)
        return;
    m_take->discard();
    abandonScore();
    m_queue->play_next();
}

void PlaybackSession::togglePause()
{
    if (!m_open)
        return;
    const PlayState s = m_wmp1->playState();
    if (!m_paused && s == PlayState::Playing) {
        // The take is closed and deleted first, so that the device never writes it again.
        m_take->discard();
        abandonScore();
        m_wmp1->pause();
        setPaused(true);
    } else if (m_paused && s == PlayState::Paused) {
        m_wmp1->play();
        setPaused(false);
    }
}

PhonePlayer PlaybackSession::forPhones()
{
    return {[this] { return isPlaying(); }, [this] { return isPaused(); }, [this] { skip(); }, [this] { togglePause(); }};
}

void PlaybackSession::singAgain()
{
    if (!m_open)
        return;
    abandonScore();
    m_restart->key_replay();
}

void PlaybackSession::record()
{
    if (!m_open)
        return;
    abandonScore();
    m_restart->cmdRecord();
}

void PlaybackSession::setSoundChannel(int channel)
{
    m_sound->setChannel(channel);
    emit soundChannelChanged(channel);
}

void PlaybackSession::nextSoundChannel()
{
    m_sound->nextChannel();
    emit soundChannelChanged(m_sound->channel());
}

void PlaybackSession::stepVolume(bool up)
{
    emit volumeChanged(m_sound->stepVolume(up));
}

void PlaybackSession::stepKey(bool up)
{
    if (m_open && m_sound->stepKey(up))
        emit keyChanged(m_sound->key());
}

QWidget *PlaybackSession::videoWidget()
{
    return m_wmp1->videoWidget();
}

bool PlaybackSession::isPlaying() const
{
    return m_wmp1->playState() == PlayState::Playing;
}

TakeState PlaybackSession::takeState() const
{
    return m_take->state();
}

int PlaybackSession::soundChannel() const
{
    return m_sound->channel();
}

int PlaybackSession::volume() const
{
    return m_sound->volume();
}

int PlaybackSession::key() const
{
    return m_sound->key();
}

qint64 PlaybackSession::positionMs() const
{
    return m_wmp1->positionMs();
}

qint64 PlaybackSession::durationMs() const
{
    return m_wmp1->durationMs();
}

bool PlaybackSession::play_next()
{
    return m_open && m_queue->play_next();
}

void PlaybackSession::ApplySoundChannel(int n)
{
    m_sound->ApplySoundChannel(n);
}

void PlaybackSession::Load_Background(int mode)
{
    const bool shown = mode == 1;
    if (shown == m_backgroundShown)
        return;
    m_backgroundShown = shown;
    emit backgroundChanged(shown);
}

void PlaybackSession::showMessage(const QString &text)
{
    m_message = text;
    emit messageChanged(m_startingKey ? keyCaption(text) : text);
}

void PlaybackSession::startInRememberedKey()
{
    if (!m_startingKey)
        return;
    if (m_sound->setKey(m_startingKey(m_state.OrderedSongs.head())))
        emit keyChanged(m_sound->key());
}

// "升2" or "降1" after the song playing's text, so a key remembered from last time surprises nobody.
QString PlaybackSession::keyCaption(const QString &text) const
{
    const int key = m_sound->key();
    const bool songShown = !m_state.OrderedSongs.isEmpty() && text == m_state.OrderedSongs.row(0).text;
    if (key == 0 || !songShown)
        return text;
    return text + (key > 0 ? QStringLiteral("  升%1") : QStringLiteral("  降%1")).arg(qAbs(key));
}

void PlaybackSession::setPaused(bool paused)
{
    if (paused == m_paused)
        return;
    m_paused = paused;
    emit pausedChanged(paused);
}

// Any state but playing ends a running take, which is kept.
void PlaybackSession::onPlayStateChanged(PlayState newState)
{
    if (newState != PlayState::Playing && m_take->isRecording())
        m_take->end();
    if (newState == PlayState::Playing && m_scoring && !m_paused)
        m_scoring->songPlaying();
}

// A song that played to its end is scored before the queue moves on.
void PlaybackSession::endScoredSong()
{
    if (!m_scoring || !m_queue->endIsCurrent())
        return;
    m_score = m_scoring->songEnded();
    if (m_score)
        emit songScored(m_scoring->songNum(), *m_score);
}

// Four seconds of the score in the pause after the song, unless a key skips it.
bool PlaybackSession::showScore()
{
    if (!m_score)
        return m_open;
    const int score = *m_score;
    m_score.reset();
    m_scoreSkipped = false;
    emit scoreShown(score);
    for (int tenth = 0; tenth < 40 && !m_scoreSkipped; ++tenth) {
        if (!wait(0.1))
            break;
    }
    emit scoreHidden();
    return m_open;
}

void PlaybackSession::abandonScore()
{
    m_score.reset();
    if (m_scoring)
        m_scoring->abandon();
}

void PlaybackSession::Timer2_Timer()
{
    const PlayState s = m_wmp1->playState();
    if (s == PlayState::Ready || s == PlayState::Stopped)
        m_queue->play_next();
    else if (s == PlayState::Playing)
        m_sound->ApplySoundChannel(m_state.SoundChannel);
}
