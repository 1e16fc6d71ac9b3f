#pragma once

// The playback session: the play queue played full screen through one media player, with
// the guest's recording take, and no window. The player window shows what it reports; the
// small windows over the video (control bar, mixer, and the in-song ordering, insertion and
// order-by-singer windows) ask it for what the guest chose.
//
// How a small window uses it:
//  - It receives the session (and SharedState, Services) in its constructor and keeps a
//    reference; it never sees the player window, the media player or the timers.
//  - Its key handler translates the key (translateKey) and gives it to HandleHotKey first;
//    "*", "/" and the letter hot keys act here, and if it returns true the window is done.
//  - It asks: skip, togglePause, singAgain, record, setSoundChannel, nextSoundChannel,
//    stepVolume, stepKey, close. Each does nothing harmful when no song plays.
//  - It shows what the session reports: read the state when shown (isPaused, takeState,
//    soundChannel, volume, key) and follow the signals while open.
//  - It reads and edits the queue in SharedState::OrderedSongs (AddToOrderList,
//    PlayQueue::moveToHead); the session starts what is queued by itself, within 5 s when
//    nothing plays. queueAdvanced() says row 0 left the queue: an open queue list redraws.
//  - A window that waits calls wait(); false means the session was closed meanwhile: return
//    at once and touch nothing.
//  - Which small window comes next is the window's result (NextWindow, small_window.h), never
//    a call into the player window. A new small window derives from SmallWindow and is made
//    in Player::smallWindow for its NextWindow kind (the ordering windows, a layer above, through
//    Player::makeOrderingWindow); the session does not change.
// A new sound feature is one more MediaPlayer operation, a SoundControls method, a forwarder
// and a change signal here. What belongs to one song (its key) goes back to its default when
// the queue advances: singing again and recording restart the same song and keep it.

#include "phone/phone_player.h"
#include "playback/recording_take.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class MediaPlayer;
class QTimer;
class QWidget;
class QueueAdvance;
class SongRestart;
class SongScoring;
class SoundControls;
struct PlaybackContext;
struct Services;
struct SharedState;
enum class PlayState;

class PlaybackSession : public QObject
{
    Q_OBJECT

public:
    // Makes the media player, resets the sound channel (left) and the recording state,
    // repairs takes cut off by a crash, and starts the timers. Nothing plays before start().
    PlaybackSession(SharedState &state, Services &services, QObject *parent = nullptr);
    ~PlaybackSession() override;

    // The player window's first activation: after three seconds the head of the queue plays.
    void start();
    // Keeps a running take, stops playback and the timers; the queue stays as it is.
    void close();
    bool isOpen() const { return m_open; }
    // Waits while events go on being handled; false when the session was closed meanwhile.
    bool wait(double seconds);

    // What the guest asks for.
    bool HandleHotKey(int k);        // true if k was a hot key and was acted on
    void skip();                     // "/", the bar's "5卡歌": the take of the song is discarded
    void togglePause();              // the bar's "6", hot key P: a paused take is discarded
    void singAgain();                // the bar's "7重唱", hot key A
    void record();                   // the mixer's "9錄音", hot key R
    void setSoundChannel(int channel); // 1 centre, 2 left, 3 right
    void nextSoundChannel();         // "*"
    void stepVolume(bool up);        // the mixer's "5+" / "4-", hot keys X / Z
    void stepKey(bool up);           // the mixer's "++" / "--" (keys "8" / "7"), while a song plays

    // What the windows show.
    QWidget *videoWidget();
    bool isPlaying() const;
    bool isPaused() const { return m_paused; }
    TakeState takeState() const;
    int soundChannel() const;
    int volume() const;
    int key() const; // semitones from the song's own key
    // Where the song playing is and how long it is, in milliseconds (0 and -1 when not known).
    qint64 positionMs() const;
    qint64 durationMs() const;
    bool backgroundShown() const { return m_backgroundShown; }
    QString message() const { return m_message; }

    // What the phones' owner buttons reach while the session is open.
    PhonePlayer forPhones();

    // Scoring (Scoring = 1): the session tells scoring what the song does, and shows the score
    // of a song sung to its end in the pause before the next one. scoring outlives the session.
    void attachScoring(SongScoring *scoring) { m_scoring = scoring; }
    void skipScoreCard() { m_scoreSkipped = true; } // any key while the score is shown

    // A remembered key (RememberKey = 1): each song starts in the key keyOf gives for its
    // number, and the message over the video says the key whenever it is not the song's own.
    void rememberKeys(std::function<int(const QString &songNum)> keyOf) { m_startingKey = std::move(keyOf); }

    // The player's operations under their old names, for the flows that call them.
    bool play_next();
    void ApplySoundChannel(int n);

signals:
    void backgroundChanged(bool shown); // the background picture instead of the video
    void messageChanged(const QString &text);
    void songStarted();
    void queueAdvanced();
    // The pause before the head of the queue starts: the player shows who sings next.
    void nextUp();
    void pausedChanged(bool paused);
    void takeStateChanged(TakeState state);
    void soundChannelChanged(int channel);
    void volumeChanged(int volume);
    void keyChanged(int semitones);
    void closed();
    // The score of the song just ended, shown for four seconds (a key skips it).
    void scoreShown(int score);
    void scoreHidden();
    // For whoever keeps the scores (the play history).
    void songScored(const QString &songNum, int score);
    // For the play history: the song playing reached its end; the song playing leaves the
    // queue (sent before its key goes back to the song's own).
    void songReachedEnd();
    void songLeaving();

private:
    void Load_Background(int mode);
    void showMessage(const QString &text);
    void setPaused(bool paused);
    void onPlayStateChanged(PlayState newState);
    void Timer2_Timer();
    void endScoredSong();
    bool showScore();
    void abandonScore();
    void startInRememberedKey();
    QString keyCaption(const QString &text) const;

    SharedState &m_state;
    Services &m_services;
    std::unique_ptr<MediaPlayer> m_wmp1;
    QTimer *m_timer1;
    QTimer *m_timer2;
    std::unique_ptr<PlaybackContext> m_context;
    std::unique_ptr<RecordingTake> m_take;
    std::unique_ptr<QueueAdvance> m_queue;
    std::unique_ptr<SongRestart> m_restart;
    std::unique_ptr<SoundControls> m_sound;
    bool m_open = true;
    bool m_started = false;
    bool m_paused = false;
    bool m_backgroundShown = true;
    SongScoring *m_scoring = nullptr;
    std::optional<int> m_score;
    bool m_scoreSkipped = false;
    QString m_message;
    std::function<int(const QString &)> m_startingKey;
};
