#include "playback/song_scoring.h"

#include "platform/cdg/cdg_song.h"
#include "platform/song_sound_reader.h"
#include "platform/voice_capture.h"
#include "scoring/guide_vocal.h"
#include "scoring/midi_melody.h"
#include "scoring/pitch_tracker.h"

#include <QFile>
#include <QFileInfo>
#include <QtGlobal>

#include <chrono>

// What the reading thread hands over: the guide vocal once read, or why there is none.
struct SongScoring::Guide
{
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    std::optional<PitchTrack> pitch;
    QString whyNone;
    std::atomic<bool> stop{false};
};


namespace {

bool isMidi(const QString &path)
{
    static const QStringList suffixes{QStringLiteral("mid"), QStringLiteral("midi"), QStringLiteral("kar")};
    return suffixes.contains(QFileInfo(path).suffix(), Qt::CaseInsensitive);
}

// The guide of a MIDI song is its melody channel's notes, read from the file itself.
void readMidiGuide(const QString &path, std::optional<int> channel, std::optional<PitchTrack> &pitch, QString &whyNone)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        whyNone = file.errorString();
        return;
    }
    const QByteArray bytes = file.readAll();
    MidiMelody melody = midiMelody(std::string_view(bytes.constData(), size_t(bytes.size())), channel);
    pitch = std::move(melody.pitch);
    whyNone = QString::fromStdString(melody.whyNone);
}

// The guide of any other song is in its decoded sound.
void readSoundGuide(SongSoundReader &reader, const QString &path, const std::atomic<bool> &stop,
                    std::optional<PitchTrack> &pitch, QString &whyNone)
{
    std::unique_ptr<GuideVocal> vocal;
    std::mutex vocalMutex;
    const SongSoundReader::Result read = reader.read(path, [&](int track, const float *frames, size_t count, int rate) {
        std::lock_guard lock(vocalMutex);
        if (!vocal)
            vocal = std::make_unique<GuideVocal>(rate);
        vocal->add(track, frames, count);
    }, stop);
    if (read.outcome == SongSoundReader::Outcome::Read && vocal) {
        GuideVocal::Result result = vocal->finish(read.trackCount);
        pitch = std::move(result.pitch);
        whyNone = QString::fromStdString(result.whyNone);
        return;
    }
    whyNone = read.outcome == SongSoundReader::Outcome::Stopped ? QStringLiteral("stopped")
        : read.problem.isEmpty() ? QStringLiteral("the file has no sound") : read.problem;
}

} // namespace

SongScoring::SongScoring(VoiceCapture &capture, SongSoundReader &reader, std::optional<int> melodyChannel)
    : m_capture(capture)
    , m_reader(reader)
    , m_melodyChannel(melodyChannel)
{
}

SongScoring::~SongScoring()
{
    abandon();
}

void SongScoring::songOpening(const QString &songNum, const QString &path, int key)
{
    abandon();
    m_songNum = songNum;
    m_opened = true;
    m_key = key;
    m_keys = {{0, key}};
    auto guide = std::make_shared<Guide>();
    m_guide = guide;
    SongSoundReader &reader = m_reader;
    m_readingThread = std::thread([&reader, guide, path, channel = m_melodyChannel] {
        std::optional<PitchTrack> pitch;
        QString whyNone;
        if (findCdgSong(path).isCdg)
            whyNone = QStringLiteral("an MP3+CD+G song carries its accompaniment alone, no guide vocal");
        else if (isMidi(path))
            readMidiGuide(path, channel, pitch, whyNone);
        else
            readSoundGuide(reader, path, guide->stop, pitch, whyNone);
        std::lock_guard lock(guide->mutex);
        guide->pitch = std::move(pitch);
        guide->whyNone = whyNone;
        guide->finished = true;
        guide->done.notify_all();
    });
}

void SongScoring::songPlaying()
{
    if (!m_opened || m_listening || m_noCapture)
        return;
    m_singer.reset();
    m_takeFrames = 0;
    const QString problem = m_capture.start([this](const float *samples, size_t count, int rate) {
        onVoice(samples, count, rate);
    });
    if (!problem.isEmpty()) {
        m_noCapture = true;
        qWarning("scoring: no capture device (%s), so no song is scored", qPrintable(problem));
        return;
    }
    m_listening = true;
}

void SongScoring::onVoice(const float *samples, size_t count, int rate)
{
    if (!m_singer || m_singer->sampleRate() != rate)
        m_singer = std::make_unique<PitchTracker>(rate);
    m_singer->add(samples, count);
    m_takeFrames = m_singer->track().size();
}

// A source that failed before its first sample is no capture device (a machine without a
// microphone may still start one, which fails once running): scoring stops for good and says
// so once. One that failed later costs this song its score.
void SongScoring::captureFailed(const QString &problem)
{
    if (!m_singer) {
        m_noCapture = true;
        qWarning("scoring: no capture device (%s), so no song is scored", qPrintable(problem));
        return;
    }
    qWarning("scoring: song %s is not scored, the capture failed: %s", qPrintable(m_songNum), qPrintable(problem));
}

void SongScoring::keyChanged(int semitones)
{
    if (semitones == m_key)
        return;
    m_key = semitones;
    if (m_opened)
        m_keys.push_back({m_takeFrames.load(), semitones});
}

std::optional<int> SongScoring::songEnded()
{
    if (!m_opened || !m_listening)
        return std::nullopt;
    const QString captureProblem = m_capture.stop();
    m_listening = false;
    m_opened = false;
    if (!captureProblem.isEmpty()) {
        captureFailed(captureProblem);
        stopReading();
        return std::nullopt;
    }
    const std::optional<PitchTrack> guide = guideWithin(kGuideWaitMs);
    if (!guide)
        return std::nullopt;
    const PitchTrack take = m_singer ? m_singer->take() : PitchTrack{};
    const std::optional<SingingScore> score = scoreSinging(*guide, take, m_keys, GuideVocal::kMinVoicedFrames);
    if (!score)
        return std::nullopt;
    qInfo("scoring: song %s scored %d (%zu of %zu sung frames of the guide hit)", qPrintable(m_songNum), score->score,
          score->hitFrames, score->guideFrames);
    return score->score;
}

// The guide vocal, once read; nothing (and the reason in the log) when there is none or it is
// not read within the time given.
std::optional<PitchTrack> SongScoring::guideWithin(int milliseconds)
{
    std::shared_ptr<Guide> guide = m_guide;
    if (!guide)
        return std::nullopt;
    bool finished = false;
    {
        std::unique_lock lock(guide->mutex);
        finished = guide->done.wait_for(lock, std::chrono::milliseconds(milliseconds), [&] { return guide->finished; });
    }
    if (!finished) {
        qWarning("scoring: song %s is not scored, its guide vocal was not read by its end", qPrintable(m_songNum));
        stopReading();
        return std::nullopt;
    }
    stopReading();
    if (!guide->pitch)
        qInfo("scoring: song %s has no score: %s", qPrintable(m_songNum), qPrintable(guide->whyNone));
    return std::move(guide->pitch);
}

bool SongScoring::guideRead() const
{
    if (!m_guide)
        return false;
    std::lock_guard lock(m_guide->mutex);
    return m_guide->finished;
}

void SongScoring::stopReading()
{
    if (m_guide)
        m_guide->stop = true;
    if (m_readingThread.joinable())
        m_readingThread.join();
    m_guide.reset();
}

void SongScoring::abandon()
{
    if (m_listening)
        m_capture.stop();
    m_listening = false;
    m_opened = false;
    stopReading();
    m_singer.reset();
}
