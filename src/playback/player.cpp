#include "playback/player.h"

#include "playback/background_picture.h"
#include "platform/clock.h"
#include "core/database_error.h"
#include "platform/file_system.h"
#include "widgets/key_code.h"
#include "core/lookups.h"
#include "platform/mci_device.h"
#include "platform/media_player.h"
#include "playback/mixer_menu.h"
#include "widgets/modal_runner.h"
#include "playback/player_message.h"
#include "playback/recording_repair.h"
#include "platform/services.h"
#include "core/settings.h"
#include "core/shared_state.h"
#include "playback/small_control_main.h"
#include "core/small_routines.h"
#include "playback/wav_file_open.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QTextStream>
#include <QTimer>

Player::Player(SharedState &state, Services &services, QSize screen, QTimer *menuTimer, QWidget *parent)
    : QDialog(parent, Qt::FramelessWindowHint)
    , m_state(state)
    , m_services(services)
    , m_screen(screen)
    , m_menuTimer(menuTimer)
    , m_wmp1(services.mediaPlayers.create())
{
    setObjectName(QStringLiteral("player"));
    setStyleSheet(QStringLiteral("Player { background: black; }"));
    setGeometry(0, 0, screen.width(), screen.height());
    setWindowState(Qt::WindowFullScreen);
    m_state.TwipsPerPixel = 15;

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setScaledContents(true);
    Image1->setPixmap(playerBackgroundPicture(screen));
    Image1->installEventFilter(this);
    QWidget *video = m_wmp1->videoWidget();
    video->setParent(this);
    video->setObjectName(QStringLiteral("wmp1"));
    video->move(0, 0);
    video->installEventFilter(this);
    installEventFilter(this);
    Load_Background(1);

    connect(m_wmp1.get(), &MediaPlayer::playStateChanged, this, &Player::onPlayStateChanged);
    connect(m_wmp1.get(), &MediaPlayer::error, this, [this](const QString &what) {
        showMessage(QStringLiteral("無法播放: ") + what);
        songEnded();
    });
    connect(m_wmp1.get(), &MediaPlayer::endOfStream, this, &Player::songEnded);
    connect(m_wmp1.get(), &MediaPlayer::clicked, this, [this] {
        Timer3->stop();
        openControlBar();
        if (!m_closing)
            Timer3->start();
    });
    connect(m_wmp1.get(), &MediaPlayer::keyPressed, this, &Player::onKey);
    connect(&services.mci, &MciDevice::failed, this, [this](const QString &what) { showMessage(what); });

    m_state.SoundChannel = 2;
    m_state.Recording = false;
    // Takes cut off by a crash get their sizes back before anyone plays them.
    repairRecordings(services.fileSystem, m_state.settings.RecordPath);

    Timer1 = new QTimer(this);
    Timer1->setInterval(5000);
    connect(Timer1, &QTimer::timeout, this, &Player::Timer1_Timer);
    Timer2 = new QTimer(this);
    Timer2->setInterval(100);
    connect(Timer2, &QTimer::timeout, this, &Player::Timer2_Timer);
    Timer3 = new QTimer(this);
    Timer3->setInterval(100);
    connect(Timer3, &QTimer::timeout, this, [this] {
        if (isVisible()) {
            activateWindow();
            setFocus();
        }
    });
    Timer1->start();
    Timer2->start();
    Timer3->start();

    playerMsg = new PlayerMessage(screen, this);
    playerMsg->show();
}

Player::~Player() = default;

SmallControlMain &Player::controlBar()
{
    if (!m_controlBar)
        m_controlBar = std::make_unique<SmallControlMain>(*this, m_state, m_services, m_screen);
    return *m_controlBar;
}

MixerMenu &Player::mixer()
{
    if (!m_mixer)
        m_mixer = std::make_unique<MixerMenu>(*this, m_state, m_services, m_screen);
    return *m_mixer;
}

void Player::Load_Background(int mode)
{
    QWidget *video = m_wmp1->videoWidget();
    if (mode == 1) {
        Image1->setGeometry(0, 0, m_screen.width(), m_screen.height());
        Image1->show();
        video->resize(1, 1);
    } else {
        Image1->hide();
        Image1->setGeometry(0, 0, 1, 1);
        video->setGeometry(0, 0, m_screen.width(), m_screen.height());
        video->show();
        video->raise();
    }
}

QString Player::songUrl() const
{
    const QString number = m_state.OrderedSongs.head();
    try {
        return QStringLiteral("file://") + GetSongLocation(m_state, number);
    } catch (const DatabaseError &e) {
        // The song cannot be looked up: it fails to play like a missing file, and the queue moves on.
        QTextStream(stderr) << e.message() << Qt::endl;
        return QStringLiteral("file://") + kNotFoundText + number;
    }
}

void Player::playHead()
{
    m_wmp1->setUrl(songUrl());
    m_wmp1->play();
    playerMsg->setText(m_state.OrderedSongs.row(0).text);
}

bool Player::play_next()
{
    if (m_inPlayNext)
        return false;
    m_inPlayNext = true;
    Timer2->stop();
    Timer1->stop();
    m_wmp1->stop();
    Load_Background(1);
    m_state.OrderedSongs.removeAt(0);
    bool started = false;
    if (!m_state.OrderedSongs.isEmpty()) {
        WaitSeconds(m_services.clock, 3);
        if (!m_closing) {
            Load_Background(0);
            playHead();
            started = true;
        }
    } else {
        m_wmp1->close();
        playerMsg->setText(QString());
    }
    if (!m_closing) {
        Timer2->start();
        Timer1->start();
    }
    m_inPlayNext = false;
    return started;
}

void Player::songEnded()
{
    // A late report about a song already replaced by the next one changes nothing.
    const int s = m_wmp1->playState();
    if (s != PlayState::Playing && s != PlayState::Transitioning)
        play_next();
}

void Player::skipSong()
{
    if (m_wmp1->playState() != PlayState::Playing)
        return;
    const bool wasRecording = m_state.Recording;
    play_next();
    discardTake(wasRecording);
}

void Player::discardTake(bool wasRecording)
{
    if (wasRecording)
        m_services.fileSystem.deleteFile(m_state.RecordFileName);
}

void Player::restartHead(const std::function<void()> &beforePlay)
{
    Timer2->stop();
    Timer1->stop();
    // Stopping ends a running take through the play-state handling, which saves it.
    m_wmp1->stop();
    m_wmp1->close();
    Load_Background(1);
    WaitSeconds(m_services.clock, 2);
    Load_Background(0);
    if (beforePlay)
        beforePlay();
    playHead();
    Timer2->start();
    Timer1->start();
}

void Player::ApplySoundChannel(int n)
{
    if (m_wmp1->audioTrackCount() >= 3)
        m_wmp1->setCurrentAudioTrack(n);
}

bool Player::HandleHotKey(int k)
{
    if (k == '*') {
        m_state.SoundChannel = m_state.SoundChannel >= 3 ? 1 : m_state.SoundChannel + 1;
        return true;
    }
    if (k == '/') {
        skipSong();
        return true;
    }
    switch (k) {
    case Settings::HotKeySoundChannel1:
        mixer().vol_mic_Click(0);
        return true;
    case Settings::HotKeySoundChannel2:
        mixer().vol_mic_Click(1);
        return true;
    case Settings::HotKeySoundChannel3:
        mixer().vol_mic_Click(2);
        return true;
    case Settings::HotKeyRecord:
        mixer().cmdRecord_Click();
        return true;
    case Settings::HotKeyPause:
        controlBar().key_pause_Click();
        return true;
    case Settings::HotKeyReplay:
        controlBar().key_replay_Click();
        return true;
    case Settings::HotKeyVolIncrease:
        mixer().vol_music_Click(1);
        return true;
    case Settings::HotKeyVolDecrease:
        mixer().vol_music_Click(0);
        return true;
    default:
        return false;
    }
}

void Player::stopRecording()
{
    m_state.Recording = false;
    mixer().setRecordCaption(QStringLiteral("9錄音"));
    m_state.Recorder->sSave();
    // On NTFS the saved take is moved out and copied back, so the file system shows its
    // final size to other programs at once.
    FileSystem &fs = m_services.fileSystem;
    if (fs.fileSystemType(m_state.RecordFileName).toUpper() == QLatin1String("NTFS")) {
        const QString moved = QDir::current().filePath(QFileInfo(m_state.RecordFileName).fileName());
        if (fs.moveFile(m_state.RecordFileName, moved)) {
            fs.copyFile(moved, m_state.RecordFileName, true);
            fs.deleteFile(moved);
        }
    }
}

void Player::showMessage(const QString &text)
{
    playerMsg->setText(text);
}

void Player::onPlayStateChanged(int newState)
{
    if (newState != PlayState::Playing && m_state.Recording)
        stopRecording();
}

void Player::Form_Activate()
{
    if (m_firstActivation) {
        m_firstActivation = false;
        if (!m_state.OrderedSongs.isEmpty()) {
            WaitSeconds(m_services.clock, 3);
            if (!m_closing) {
                Load_Background(0);
                playHead();
            }
        }
    }
    m_state.InsertWindowOpen = false;
}

void Player::Timer1_Timer()
{
    const int s = m_wmp1->playState();
    if ((s == PlayState::Undefined || s == PlayState::Ready) && !m_state.OrderedSongs.isEmpty()) {
        Timer2->stop();
        Load_Background(0);
        playHead();
        Timer2->start();
    }
}

void Player::Timer2_Timer()
{
    const int s = m_wmp1->playState();
    if (s == PlayState::Ready || s == PlayState::Stopped)
        play_next();
    else if (s == PlayState::Playing)
        ApplySoundChannel(m_state.SoundChannel);
}

void Player::onKey(int code)
{
    // Letters count as their capitals, so the hot keys work with or without Caps Lock.
    if (code >= 'a' && code <= 'z')
        code -= 'a' - 'A';
    if (HandleHotKey(code))
        return;
    Timer3->stop();
    openControlBar();
    // The menu's timer runs again only when the player was closed from the bar.
    if (!m_closing && m_menuTimer && !m_menuTimer->isActive())
        Timer3->start();
}

void Player::openControlBar()
{
    m_nextWindow = SmallWindowKind::ControlBar;
    while (m_nextWindow != SmallWindowKind::None && !m_closing) {
        const SmallWindowKind shown = m_nextWindow;
        m_nextWindow = SmallWindowKind::None;
        if (shown == SmallWindowKind::ControlBar)
            ModalRunner::exec(controlBar());
        else
            ModalRunner::exec(mixer());
    }
}

void Player::closePlayer()
{
    if (m_closing)
        return;
    m_closing = true;
    if (m_state.Recording) {
        m_state.Recording = false;
        m_state.Recorder->sSave();
    }
    Timer1->stop();
    Timer2->stop();
    Timer3->stop();
    m_wmp1->stop();
    m_wmp1->close();
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
    if (watched == Image1 && event->type() == QEvent::MouseButtonPress) {
        onKey(0); // a click on the background opens the control bar
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void Player::closeEvent(QCloseEvent *event)
{
    if (!m_closing) {
        event->ignore();
        closePlayer();
        return;
    }
    QDialog::closeEvent(event);
}
