#pragma once

#include <QDialog>
#include <QSize>

#include <functional>

#include <memory>

class MediaPlayer;
class MixerMenu;
class PlayerMessage;
class QLabel;
class QTimer;
class SmallControlMain;
struct Services;
struct SharedState;

// The player window: plays the play queue full screen, one song after another, with the
// background picture between songs. Any key that is not a hot key, or a click on the video,
// opens the control bar.
class Player : public QDialog
{
    Q_OBJECT

public:
    // menuTimer is the menu's focus timer: the menu stops it while the player is open, and
    // the player starts it again when it closes.
    Player(SharedState &state, Services &services, QSize screen, QTimer *menuTimer, QWidget *parent = nullptr);
    ~Player() override;

    void Load_Background(int mode);
    bool play_next();
    void ApplySoundChannel(int n);
    bool HandleHotKey(int k);
    // Plays the head of the queue from its beginning.
    void playHead();
    // Stops the song, shows the background for two seconds and starts the head of the queue
    // again; beforePlay runs just before it starts (a new take begins there).
    void restartHead(const std::function<void()> &beforePlay = {});
    // Skips to the next song if one plays; the take of the skipped song is discarded.
    void skipSong();
    // Deletes the take being recorded when the song it belongs to was cut short.
    void discardTake(bool wasRecording);
    // Ends the running recording and keeps what was taken.
    void stopRecording();
    // Closes the player and goes back to the menu; the queue stays as it is.
    void closePlayer();
    void showMessage(const QString &text);

    // The small windows over the video follow one another without nesting: a window that
    // hands over to another asks for it and hides; the player then shows the one asked for.
    enum class SmallWindowKind { None, ControlBar, Mixer };
    void requestWindow(SmallWindowKind next) { m_nextWindow = next; }

    MediaPlayer &wmp1() { return *m_wmp1; }
    SmallControlMain &controlBar();
    MixerMenu &mixer();

    QLabel *Image1 = nullptr;
    QTimer *Timer1 = nullptr;
    QTimer *Timer2 = nullptr;
    QTimer *Timer3 = nullptr;
    PlayerMessage *playerMsg = nullptr;

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void Form_Activate();
    void Timer1_Timer();
    void Timer2_Timer();
    void onPlayStateChanged(int newState);
    void onKey(int code);
    // End of stream or error: the next song, unless the report is about a song already replaced.
    void songEnded();
    void openControlBar();
    QString songUrl() const;

    SharedState &m_state;
    Services &m_services;
    QSize m_screen;
    QTimer *m_menuTimer;
    std::unique_ptr<MediaPlayer> m_wmp1;
    std::unique_ptr<SmallControlMain> m_controlBar;
    std::unique_ptr<MixerMenu> m_mixer;
    bool m_firstActivation = true;
    bool m_inPlayNext = false;
    bool m_closing = false;
    SmallWindowKind m_nextWindow = SmallWindowKind::None;
};
