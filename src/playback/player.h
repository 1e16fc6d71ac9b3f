#pragma once

#include "playback/small_window.h"

#include <QDialog>
#include <QPointer>
#include <QSize>

#include <functional>

#include <map>
#include <memory>

class NextUpCard;
class PlaybackSession;
class PlayerMessage;
class ScoreCard;
class QLabel;
class QTimer;
struct Services;
struct SharedState;

// The player window: shows the session's video full screen, or the background picture
// between songs, and the message strip. Hot keys go to the session; any other key, or a
// click, opens the control bar, and from it the small windows follow one another.
class Player : public QDialog
{
    Q_OBJECT

public:
    // menuTimer is the menu's focus timer: the menu stops it while the player is open, and
    // the player starts it again when it closes.
    Player(PlaybackSession &session, SharedState &state, Services &services, QSize screen, QTimer *menuTimer,
           QWidget *parent = nullptr);
    ~Player() override;

    void Load_Background(int mode);
    // The small window of that kind, made the first time it is asked for; nullptr for a
    // kind this player does not have.
    SmallWindow *smallWindow(NextWindow kind);

    // Makes the in-song ordering windows, which live in a layer above this one.
    std::function<std::unique_ptr<SmallWindow>(NextWindow kind)> makeOrderingWindow;

    QLabel *Image1 = nullptr;
    QTimer *Timer3 = nullptr;
    PlayerMessage *playerMsg = nullptr;
    NextUpCard *nextUp = nullptr;
    ScoreCard *scoreCard = nullptr;

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void Form_Activate();
    void onKey(int code);
    // Shows the control bar, then whichever small window each one names as the next.
    void showSmallWindows();
    void onSessionClosed();

    PlaybackSession &m_session;
    SharedState &m_state;
    Services &m_services;
    QSize m_screen;
    QTimer *m_menuTimer;
    QPointer<QWidget> m_video;
    std::map<NextWindow, std::unique_ptr<SmallWindow>> m_smallWindows;
    bool m_firstActivation = true;
};
