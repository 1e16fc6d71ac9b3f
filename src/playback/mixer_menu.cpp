#include "playback/mixer_menu.h"

#include "platform/clock.h"
#include "platform/file_system.h"
#include "core/key_translation.h"
#include "platform/media_player.h"
#include "playback/player.h"
#include "playback/record_file_name.h"
#include "platform/services.h"
#include "core/shared_state.h"
#include "core/small_routines.h"
#include "playback/wav_file_open.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace {

QLabel *legend(QWidget *parent, const QString &name, const QString &text, QRect geometry)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(geometry);
    label->setAlignment(Qt::AlignCenter);
    label->setFont(QFont(kScreenFontName, 11));
    return label;
}

} // namespace

MixerMenu::MixerMenu(Player &player, SharedState &state, Services &services, QSize screen)
    : SmallWindow(state, screen, &player)
    , m_player(player)
    , m_services(services)
{
    setObjectName(QStringLiteral("mixer_menu"));
    setWindowTitle(QStringLiteral("Mixer"));
    resize(240, 230);
    // Rows: channel, music volume, pitch; then record and leave.
    legend(this, QStringLiteral("label3"), QStringLiteral("聲道"), QRect(5, 5, 50, 40));
    const char *channels[] = {"1左", "2中", "3右"};
    for (int i = 0; i < 3; ++i)
        vol_mic[size_t(i)] = addButton(QStringLiteral("vol_mic_%1").arg(i), QString::fromUtf8(channels[i]),
                                       QRect(60 + i * 50, 5, 45, 40), [this, i] { vol_mic_Click(i); });
    Label6 = legend(this, QStringLiteral("Label6"), QStringLiteral("中"), QRect(210, 5, 25, 40));

    legend(this, QStringLiteral("Label2"), QStringLiteral("音樂"), QRect(5, 50, 50, 40));
    vol_music[0] = addButton(QStringLiteral("vol_music_0"), QStringLiteral("4-"), QRect(60, 50, 45, 40),
                             [this] { vol_music_Click(0); });
    vol_music[1] = addButton(QStringLiteral("vol_music_1"), QStringLiteral("5+"), QRect(110, 50, 45, 40),
                             [this] { vol_music_Click(1); });
    lb_vol_music = legend(this, QStringLiteral("lb_vol_music"), QString(), QRect(160, 50, 75, 40));

    legend(this, QStringLiteral("Label4"), QStringLiteral("音調"), QRect(5, 95, 50, 40));
    // The pitch keys are shown; they do nothing yet.
    tune_key[0] = addButton(QStringLiteral("tune_key_0"), QStringLiteral("--"), QRect(60, 95, 45, 40), [] {});
    tune_key[1] = addButton(QStringLiteral("tune_key_1"), QStringLiteral("++"), QRect(110, 95, 45, 40), [] {});
    legend(this, QStringLiteral("Label5"), QStringLiteral("無作用"), QRect(160, 95, 75, 40));

    cmdRecord = addButton(QStringLiteral("cmdRecord"), QStringLiteral("9錄音"), QRect(5, 140, 230, 40),
                          [this] { cmdRecord_Click(); });
    Command1 = addButton(QStringLiteral("Command1"), QStringLiteral("0離開"), QRect(5, 185, 230, 40),
                         [this] { Command1_Click(); });
    lb_vol_music->setText(QString::number(m_player.wmp1().volume() / 10));
    fitToScreen(0.25);
    Command1->move(Command1->x(), cmdRecord->y() + cmdRecord->height() + 1);
}

void MixerMenu::showEvent(QShowEvent *event)
{
    SmallWindow::showEvent(event);
    lb_vol_music->setText(QString::number(m_player.wmp1().volume() / 10));
    cmdRecord->setText(m_state.Recording ? QStringLiteral("錄音中") : QStringLiteral("9錄音"));
}


void MixerMenu::Form_KeyPress(int &KeyAscii)
{
    KeyAscii = translateKey(KeyAscii, m_state.settings);
    if (m_player.HandleHotKey(KeyAscii))
        return;
    switch (KeyAscii) {
    case '0':
        Command1_Click();
        break;
    // The channel codes are the audio tracks of a karaoke file: left 2, centre 1, right 3.
    case '1':
        m_state.SoundChannel = 2;
        break;
    case '2':
        m_state.SoundChannel = 1;
        break;
    case '3':
        m_state.SoundChannel = 3;
        break;
    case '4':
        vol_music_Click(0);
        break;
    case '5':
        vol_music_Click(1);
        break;
    case '9':
        cmdRecord_Click();
        break;
    default:
        break;
    }
}

void MixerMenu::vol_mic_Click(int index)
{
    static const char *const names[] = {"左", "中", "右"};
    if (index < 0 || index > 2)
        return;
    int key = '1' + index;
    Form_KeyPress(key);
    Label6->setText(QString::fromUtf8(names[index]));
}

void MixerMenu::vol_music_Click(int index)
{
    MediaPlayer &wmp = m_player.wmp1();
    int v = wmp.volume();
    if (index == 0) {
        v -= 10;
        if (v < 1)
            v = 0;
    } else if (index == 1) {
        v = qMin(100, v + 10);
    }
    wmp.setVolume(v);
    lb_vol_music->setText(QString::number(v / 10.0));
}

void MixerMenu::cmdRecord_Click()
{
    if (m_player.wmp1().playState() != PlayState::Playing)
        return;
    restartSongWithRecording(m_state.Recording);
}

void MixerMenu::restartSongWithRecording(bool again)
{
    if (again)
        cmdRecord->setText(QStringLiteral("重錄"));
    WavFileOpen &recorder = *m_state.Recorder;
    QString reply;
    // The song starts again from its beginning together with the new take.
    m_player.restartHead([&] {
        if (again) {
            m_services.fileSystem.deleteFile(m_state.RecordFileName); // the previous take goes
        } else {
            m_state.RecordFileName = recordFileName(m_state.settings.RecordPath, m_services.clock.now(),
                                                    m_state.OrderedSongs.row(0).text);
        }
        recorder.sClose();
        recorder.sNew(m_state.RecordFileName, 44100, 16, 2);
        recorder.sRecord();
        reply = recorder.sErrorMessage().trimmed();
    });
    if (!reply.isEmpty()) {
        // No take without a capture device: say so, and leave no empty file behind.
        recorder.sClose();
        m_services.fileSystem.deleteFile(m_state.RecordFileName);
        m_player.showMessage(reply);
        cmdRecord->setText(QStringLiteral("9錄音"));
        return;
    }
    m_state.Recording = true;
    cmdRecord->setText(QStringLiteral("錄音中"));
}

void MixerMenu::Command1_Click()
{
    focusTimer()->stop();
    m_player.requestWindow(Player::SmallWindowKind::ControlBar);
    hide(); // the player shows the control bar again
}

void MixerMenu::setRecordCaption(const QString &caption)
{
    cmdRecord->setText(caption);
}
