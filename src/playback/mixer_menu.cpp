#include "playback/mixer_menu.h"

#include "core/key_translation.h"
#include "platform/plain_text.h"
#include "platform/screen_fonts.h"
#include "core/shared_state.h"
#include "playback/playback_session.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace {

QLabel *legend(QWidget *parent, const QString &name, const QString &text, QRect geometry)
{
    QLabel *label = newTextLabel(parent, text);
    label->setObjectName(name);
    label->setGeometry(geometry);
    label->setAlignment(Qt::AlignCenter);
    label->setFont(QFont(kScreenFontName, 11));
    return label;
}

QString channelName(int channel)
{
    switch (channel) {
    case 1:
        return QStringLiteral("中");
    case 2:
        return QStringLiteral("左");
    case 3:
        return QStringLiteral("右");
    default:
        return {};
    }
}

// "+2", "0", "−3": semitones from the song's own key, signed as a singer reads them.
QString keyText(int semitones)
{
    if (semitones > 0)
        return QStringLiteral("+%1").arg(semitones);
    if (semitones < 0)
        return QStringLiteral("−%1").arg(-semitones);
    return QStringLiteral("0");
}

} // namespace

MixerMenu::MixerMenu(PlaybackSession &session, SharedState &state, QSize screen, QWidget *parent)
    : SmallWindow(state, screen, parent)
    , m_session(session)
{
    setObjectName(QStringLiteral("mixer_menu"));
    setWindowTitle(QStringLiteral("Mixer"));
    resize(240, 230);
    // Rows: channel, music volume, key; then record and leave.
    legend(this, QStringLiteral("label3"), QStringLiteral("聲道"), QRect(5, 5, 50, 40));
    const char *channels[] = {"1左", "2中", "3右"};
    for (int i = 0; i < 3; ++i)
        vol_mic[size_t(i)] = addButton(QStringLiteral("vol_mic_%1").arg(i), QString::fromUtf8(channels[i]),
                                       QRect(60 + i * 50, 5, 45, 40), [this, i] { vol_mic_Click(i); });
    Label6 = legend(this, QStringLiteral("Label6"), channelName(m_session.soundChannel()), QRect(210, 5, 25, 40));

    legend(this, QStringLiteral("Label2"), QStringLiteral("音樂"), QRect(5, 50, 50, 40));
    vol_music[0] = addButton(QStringLiteral("vol_music_0"), QStringLiteral("4-"), QRect(60, 50, 45, 40),
                             [this] { vol_music_Click(0); });
    vol_music[1] = addButton(QStringLiteral("vol_music_1"), QStringLiteral("5+"), QRect(110, 50, 45, 40),
                             [this] { vol_music_Click(1); });
    lb_vol_music = legend(this, QStringLiteral("lb_vol_music"), QString(), QRect(160, 50, 75, 40));

    legend(this, QStringLiteral("Label4"), QStringLiteral("音調"), QRect(5, 95, 50, 40));
    tune_key[0] = addButton(QStringLiteral("tune_key_0"), QStringLiteral("--"), QRect(60, 95, 45, 40),
                            [this] { tune_key_Click(0); });
    tune_key[1] = addButton(QStringLiteral("tune_key_1"), QStringLiteral("++"), QRect(110, 95, 45, 40),
                            [this] { tune_key_Click(1); });
    Label5 = legend(this, QStringLiteral("Label5"), keyText(m_session.key()), QRect(160, 95, 75, 40));

    cmdRecord = addButton(QStringLiteral("cmdRecord"), QStringLiteral("9錄音"), QRect(5, 140, 230, 40),
                          [this] { cmdRecord_Click(); });
    Command1 = addButton(QStringLiteral("Command1"), QStringLiteral("0離開"), QRect(5, 185, 230, 40),
                         [this] { Command1_Click(); });
    lb_vol_music->setText(QString::number(m_session.volume() / 10));
    fitToScreen(0.25);
    Command1->move(Command1->x(), cmdRecord->y() + cmdRecord->height() + 1);

    connect(&m_session, &PlaybackSession::soundChannelChanged, this, &MixerMenu::showChannel);
    connect(&m_session, &PlaybackSession::volumeChanged, this,
            [this](int volume) { lb_vol_music->setText(QString::number(volume / 10.0)); });
    connect(&m_session, &PlaybackSession::takeStateChanged, this, &MixerMenu::showTake);
    connect(&m_session, &PlaybackSession::keyChanged, this,
            [this](int semitones) { Label5->setText(keyText(semitones)); });
}

void MixerMenu::showEvent(QShowEvent *event)
{
    SmallWindow::showEvent(event);
    lb_vol_music->setText(QString::number(m_session.volume() / 10));
    showChannel(m_session.soundChannel());
    showTake(m_session.takeState());
    Label5->setText(keyText(m_session.key()));
}

void MixerMenu::showChannel(int channel)
{
    Label6->setText(channelName(channel));
}

void MixerMenu::showTake(TakeState state)
{
    switch (state) {
    case TakeState::Idle:
        cmdRecord->setText(QStringLiteral("9錄音"));
        break;
    case TakeState::Recording:
        cmdRecord->setText(QStringLiteral("錄音中"));
        break;
    case TakeState::Retaking:
        cmdRecord->setText(QStringLiteral("重錄"));
        break;
    }
}


void MixerMenu::Form_KeyPress(int &KeyAscii)
{
    KeyAscii = translateKey(KeyAscii, m_state.settings);
    if (m_session.HandleHotKey(KeyAscii))
        return;
    switch (KeyAscii) {
    case '0':
        Command1_Click();
        break;
    // The channel codes are the audio tracks of a karaoke file: left 2, centre 1, right 3.
    case '1':
        m_session.setSoundChannel(2);
        break;
    case '2':
        m_session.setSoundChannel(1);
        break;
    case '3':
        m_session.setSoundChannel(3);
        break;
    case '4':
        vol_music_Click(0);
        break;
    case '5':
        vol_music_Click(1);
        break;
    case '7':
        tune_key_Click(0);
        break;
    case '8':
        tune_key_Click(1);
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
    if (index < 0 || index > 2)
        return;
    int key = '1' + index;
    Form_KeyPress(key);
}

void MixerMenu::vol_music_Click(int index)
{
    if (index == 0 || index == 1)
        m_session.stepVolume(index == 1);
}

void MixerMenu::tune_key_Click(int index)
{
    if (index == 0 || index == 1)
        m_session.stepKey(index == 1);
}

void MixerMenu::cmdRecord_Click()
{
    m_session.record();
}

void MixerMenu::Command1_Click()
{
    closeTo(NextWindow::ControlBar);
}
