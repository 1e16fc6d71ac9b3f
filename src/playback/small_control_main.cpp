#include "playback/small_control_main.h"

#include "core/key_translation.h"
#include "core/shared_state.h"
#include "platform/mouse_pointer.h"
#include "platform/services.h"
#include "playback/playback_session.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>

namespace {
constexpr int kButtonSize = 50;
}

SmallControlMain::SmallControlMain(PlaybackSession &session, SharedState &state, Services &services, QSize screen,
                                   QWidget *parent)
    : SmallWindow(state, screen, parent)
    , m_session(session)
    , m_services(services)
{
    setObjectName(QStringLiteral("small_control_main"));
    resize(9 * kButtonSize, kButtonSize);
    struct Key
    {
        QPushButton **button;
        const char *name;
        const char *caption;
        void (SmallControlMain::*click)();
    };
    const Key keys[] = {
        {&key_order, "key_order", "1點歌", &SmallControlMain::key_order_Click},
        {&key_browe, "key_browe", "2已點", &SmallControlMain::key_browe_Click},
        {&key_done, "key_done", "3歌手", &SmallControlMain::key_done_Click},
        {&key_mixer, "key_mixer", "4音效", &SmallControlMain::key_mixer_Click},
        {&key_next, "key_next", "5卡歌", &SmallControlMain::key_next_Click},
        {&key_pause, "key_pause", "6暫停", &SmallControlMain::key_pause_Click},
        {&key_replay, "key_replay", "7重唱", &SmallControlMain::key_replay_Click},
        {&key_gomain, "key_gomain", "8關閉", &SmallControlMain::key_gomain_Click},
        {&key_exit, "key_exit", "0沒事", &SmallControlMain::key_exit_Click},
    };
    int x = 0;
    for (const Key &k : keys) {
        auto click = k.click;
        *k.button = addButton(QString::fromLatin1(k.name), QString::fromUtf8(k.caption), QRect(x, 0, kButtonSize, kButtonSize),
                              [this, click] { (this->*click)(); });
        x += kButtonSize;
    }
    fitToScreen(0.5);
    // The caption follows the song, also when the hot key P pauses it with the bar closed.
    connect(&m_session, &PlaybackSession::pausedChanged, this, &SmallControlMain::showPauseCaption);
}

void SmallControlMain::showPauseCaption(bool paused)
{
    key_pause->setText(paused ? QStringLiteral("6播放") : QStringLiteral("6暫停"));
}

void SmallControlMain::showEvent(QShowEvent *event)
{
    SmallWindow::showEvent(event);
    showPauseCaption(m_session.isPaused());
    // The pointer goes onto "0沒事", so a click closes the bar.
    const QRect b = key_exit->geometry();
    m_services.mousePointer.moveTo(x() + b.x() + int(b.width() * 0.8), y() + b.y() + int(b.height() * 0.8));
}

bool SmallControlMain::event(QEvent *event)
{
    // The bar closes itself when another program takes the focus away (not when it hands over
    // to another small window).
    if (event->type() == QEvent::WindowDeactivate && isVisible() && !isClosing()
        && QApplication::activeWindow() == nullptr)
        key_exit_Click();
    return SmallWindow::event(event);
}

void SmallControlMain::key_press(int &KeyAscii)
{
    KeyAscii = translateKey(KeyAscii, m_state.settings);
    if (m_session.HandleHotKey(KeyAscii))
        return;
    if (KeyAscii == KeyCode::Enter)
        KeyAscii = 0;
    switch (KeyAscii) {
    case '0':
        key_exit_Click();
        break;
    case '1':
        key_order_Click();
        break;
    case '2':
        key_browe_Click();
        break;
    case '3':
        key_done_Click();
        break;
    case '4':
        key_mixer_Click();
        break;
    case '5':
        key_next_Click();
        break;
    case '6':
        key_pause_Click();
        break;
    case '7':
        key_replay_Click();
        break;
    case '8':
        key_gomain_Click();
        break;
    default:
        break;
    }
}

void SmallControlMain::key_next_Click()
{
    m_session.skip();
}

void SmallControlMain::key_pause_Click()
{
    m_session.togglePause();
}

void SmallControlMain::key_replay_Click()
{
    m_session.singAgain();
}

void SmallControlMain::key_order_Click()
{
    closeTo(NextWindow::Ordering);
}

void SmallControlMain::key_browe_Click()
{
    closeTo(NextWindow::Insertion);
}

void SmallControlMain::key_done_Click()
{
    closeTo(NextWindow::OrderBySinger);
}

void SmallControlMain::key_mixer_Click()
{
    closeTo(NextWindow::Mixer);
}

void SmallControlMain::key_gomain_Click()
{
    closeTo(NextWindow::None);
    m_session.close();
}

void SmallControlMain::key_exit_Click()
{
    m_services.mousePointer.moveTo(m_screen.width() - 1, m_screen.height() - 1);
    closeTo(NextWindow::None);
}
