#include "playback/player.h"

#include "core/shared_state.h"
#include "platform/plain_text.h"
#include "playback/background_picture.h"
#include "playback/mixer_menu.h"
#include "playback/next_up_card.h"
#include "playback/playback_session.h"
#include "playback/player_message.h"
#include "playback/score_card.h"
#include "playback/small_control_main.h"
#include "widgets/key_code.h"

#include <QCloseEvent>
#include <QLabel>
#include <QTimer>

Player::Player(PlaybackSession &session, SharedState &state, Services &services, QSize screen, QTimer *menuTimer,
               QWidget *parent)
    : QDialog(parent, Qt::FramelessWindowHint)
    , m_session(session)
    , m_state(state)
    , m_services(services)
    , m_screen(screen)
    , m_menuTimer(menuTimer)
    , m_video(session.videoWidget())
{
    setObjectName(QStringLiteral("player"));
    setStyleSheet(QStringLiteral("Player { background: black; }"));
    setGeometry(0, 0, screen.width(), screen.height());
    setWindowState(Qt::WindowFullScreen);
    m_state.TwipsPerPixel = 15;

    Image1 = newTextLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setScaledContents(true);
    Image1->setPixmap(playerBackgroundPicture(screen));
    Image1->installEventFilter(this);
    m_video->setParent(this);
    m_video->setObjectName(QStringLiteral("wmp1"));
    m_video->move(0, 0);
    m_video->installEventFilter(this);
    installEventFilter(this);
    Load_Background(m_session.backgroundShown() ? 1 : 0);

    playerMsg = new PlayerMessage(screen, this);
    playerMsg->setText(m_session.message());
    playerMsg->show();

    connect(&m_session, &PlaybackSession::backgroundChanged, this, [this](bool shown) { Load_Background(shown ? 1 : 0); });
    connect(&m_session, &PlaybackSession::messageChanged, playerMsg, &PlayerMessage::setText);
    connect(&m_session, &PlaybackSession::closed, this, &Player::onSessionClosed);

    nextUp = new NextUpCard(m_state.OrderedSongs, screen, this);
    connect(&m_session, &PlaybackSession::nextUp, nextUp, &NextUpCard::showNext);
    connect(&m_session, &PlaybackSession::songStarted, nextUp, &QWidget::hide);
    connect(&m_session, &PlaybackSession::closed, nextUp, &QWidget::hide);

    scoreCard = new ScoreCard(screen, this);
    connect(&m_session, &PlaybackSession::scoreShown, scoreCard, &ScoreCard::showScore);
    connect(&m_session, &PlaybackSession::scoreHidden, scoreCard, &QWidget::hide);

    Timer3 = new QTimer(this);
    Timer3->setInterval(100);
    connect(Timer3, &QTimer::timeout, this, [this] {
        if (isVisible()) {
            activateWindow();
            setFocus();
        }
    });
    Timer3->start();
}

Player::~Player()
{
    // The video widget belongs to the session's media player, which may outlive this window.
    if (!m_video)
        return;
    m_video->removeEventFilter(this);
    m_video->hide();
    m_video->setParent(nullptr);
}

void Player::Load_Background(int mode)
{
    if (mode == 1) {
        Image1->setGeometry(0, 0, m_screen.width(), m_screen.height());
        Image1->show();
        m_video->resize(1, 1);
    } else {
        Image1->hide();
        Image1->setGeometry(0, 0, 1, 1);
        m_video->setGeometry(0, 0, m_screen.width(), m_screen.height());
        m_video->show();
        m_video->raise();
    }
}

SmallWindow *Player::smallWindow(NextWindow kind)
{
    std::unique_ptr<SmallWindow> &window = m_smallWindows[kind];
    if (window)
        return window.get();
    switch (kind) {
    case NextWindow::ControlBar:
        window = std::make_unique<SmallControlMain>(m_session, m_state, m_services, m_screen, this);
        break;
    case NextWindow::Mixer:
        window = std::make_unique<MixerMenu>(m_session, m_state, m_screen, this);
        break;
    default:
        if (makeOrderingWindow)
            window = makeOrderingWindow(kind);
        break;
    }
    return window.get();
}

void Player::Form_Activate()
{
    if (m_firstActivation) {
        m_firstActivation = false;
        m_session.start();
    }
    m_state.InsertWindowOpen = false;
}

void Player::onKey(int code)
{
    // Letters count as their capitals, so the hot keys work with or without Caps Lock.
    if (code >= 'a' && code <= 'z')
        code -= 'a' - 'A';
    // Any key while the score is shown only takes it away.
    if (scoreCard->isVisible()) {
        m_session.skipScoreCard();
        return;
    }
    if (m_session.HandleHotKey(code))
        return;
    Timer3->stop();
    showSmallWindows();
    if (m_session.isOpen())
        Timer3->start();
}

void Player::showSmallWindows()
{
    NextWindow next = NextWindow::ControlBar;
    while (next != NextWindow::None && m_session.isOpen()) {
        SmallWindow *window = smallWindow(next);
        next = window ? window->run() : NextWindow::None;
    }
}

void Player::onSessionClosed()
{
    Timer3->stop();
    playerMsg->hide();
    if (m_menuTimer)
        m_menuTimer->start();
    done(QDialog::Accepted);
}

bool Player::event(QEvent *event)
{
    if (event->type() == QEvent::Show && m_firstActivation)
        QTimer::singleShot(0, this, &Player::Form_Activate);
    if (event->type() == QEvent::WindowActivate)
        m_state.InsertWindowOpen = false;
    return QDialog::event(event);
}

bool Player::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        if (const std::optional<int> code = keyCodeOf(*event))
            onKey(*code);
        return true;
    }
    // A click on the video or on the background opens the control bar, as a key would.
    if ((watched == Image1 || watched == m_video) && event->type() == QEvent::MouseButtonPress) {
        onKey(0);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void Player::closeEvent(QCloseEvent *event)
{
    if (m_session.isOpen()) {
        event->ignore();
        m_session.close();
        return;
    }
    QDialog::closeEvent(event);
}
