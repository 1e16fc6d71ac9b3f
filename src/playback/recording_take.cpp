#include "playback/recording_take.h"

#include "core/file_path.h"
#include "core/shared_state.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/services.h"
#include "playback/playback_context.h"
#include "playback/record_file_name.h"
#include "playback/wav_file_open.h"

#include <QDir>
#include <QFileInfo>

namespace {
constexpr qint64 kEmptyWavSize = 44;
}

RecordingTake::RecordingTake(PlaybackContext &context)
    : m_context(context)
{
}

bool RecordingTake::isRecording() const
{
    return m_context.state.Recording;
}

bool RecordingTake::startDevice(bool again)
{
    SharedState &state = m_context.state;
    FileSystem &fs = m_context.services.fileSystem;
    if (again) {
        fs.deleteFile(state.RecordFileName); // the previous take goes
    } else {
        state.RecordFileName = recordFileName(resolvePath(state.AppPath, state.settings.RecordPath),
                                              m_context.services.clock.now(), state.OrderedSongs.row(0).text);
    }
    WavFileOpen &recorder = *state.Recorder;
    recorder.sClose();
    recorder.sNew(state.RecordFileName, 44100, 16, 2);
    recorder.sRecord();
    const QString reply = recorder.sErrorMessage().trimmed();
    if (!reply.isEmpty()) {
        // No take without a recording device: say so, and leave no empty file behind.
        recorder.sClose();
        fs.deleteFile(state.RecordFileName);
        m_context.showMessage(reply);
        setState(TakeState::Idle);
        return false;
    }
    return true;
}

void RecordingTake::begin()
{
    m_context.state.Recording = true;
    setState(TakeState::Recording);
}

void RecordingTake::markRetaking()
{
    setState(TakeState::Retaking);
}

void RecordingTake::cancelRetaking()
{
    if (m_state == TakeState::Retaking)
        setState(isRecording() ? TakeState::Recording : TakeState::Idle);
}

void RecordingTake::end()
{
    if (!isRecording())
        return;
    m_context.state.Recording = false;
    m_context.state.Recorder->sSave();
    copyBackOnNtfs();
    if (m_state != TakeState::Retaking)
        setState(TakeState::Idle);
}

void RecordingTake::discard()
{
    if (!isRecording())
        return;
    // Closed before it is deleted, so that the device never writes the file again.
    m_context.state.Recording = false;
    m_context.state.Recorder->sClose();
    m_context.services.fileSystem.deleteFile(m_context.state.RecordFileName);
    setState(TakeState::Idle);
}

void RecordingTake::deviceFailed(const QString &message)
{
    if (!isRecording())
        return;
    m_context.state.Recording = false;
    m_context.state.Recorder->sSave();
    // A device that never delivered a sample leaves only a header: no take to keep.
    if (QFileInfo(m_context.state.RecordFileName).size() <= kEmptyWavSize)
        m_context.services.fileSystem.deleteFile(m_context.state.RecordFileName);
    m_context.showMessage(message);
    setState(TakeState::Idle);
}

void RecordingTake::setState(TakeState state)
{
    if (state == m_state)
        return;
    m_state = state;
    emit stateChanged(state);
}

void RecordingTake::copyBackOnNtfs()
{
    FileSystem &fs = m_context.services.fileSystem;
    const QString take = m_context.state.RecordFileName;
    if (fs.fileSystemType(take).toUpper() != QLatin1String("NTFS"))
        return;
    const QString moved = QDir::current().filePath(QFileInfo(take).fileName());
    if (!fs.moveFile(take, moved))
        return;
    if (fs.copyFile(moved, take, true)) {
        fs.deleteFile(moved);
        return;
    }
    // The moved file is the only copy of the take: it goes back where it was.
    if (!fs.moveFile(moved, take))
        qWarning("the take %s could not be copied back; it is kept at %s", qPrintable(take), qPrintable(moved));
}
