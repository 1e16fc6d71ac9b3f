#include "platform/gst/gst_loudness_meter.h"

#include "gst_cdg_source.h"
#include "gst_own_task_pool.h"
#include "gst_sound_branches.h"
#include "gst_sound_font.h"
#include "platform/gst/gst_runtime.h"

#include <QFile>

#include <gst/pbutils/missing-plugins.h>

#include <ebur128.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <mutex>
#include <vector>

namespace {

constexpr GstClockTime kStopPoll = 10 * GST_MSECOND;

struct StateDeleter
{
    void operator()(ebur128_state *state) const { ebur128_destroy(&state); }
};
using MeterState = std::unique_ptr<ebur128_state, StateDeleter>;

MeterState stereoState(unsigned long rate)
{
    return MeterState(ebur128_init(2, rate, EBUR128_MODE_I | EBUR128_MODE_TRUE_PEAK));
}

// One side played on both speakers counts twice, as two equal channels would.
MeterState sideState(unsigned long rate)
{
    MeterState state(ebur128_init(1, rate, EBUR128_MODE_I));
    if (state)
        ebur128_set_channel(state.get(), 0, EBUR128_DUAL_MONO);
    return state;
}

// Nothing when the sound stays below the absolute gate (silence).
std::optional<ChannelLoudness> loudnessOf(ebur128_state *state, double truePeak)
{
    double lufs = -HUGE_VAL;
    if (!state || ebur128_loudness_global(state, &lufs) != EBUR128_SUCCESS || !std::isfinite(lufs))
        return std::nullopt;
    return ChannelLoudness{lufs, 20 * std::log10(std::max(truePeak, 1e-9))};
}

// One decoded sound track as stereo frames: its loudness with both sides, and with each side
// on both speakers. Fed from the track's own streaming thread, read once decoding has ended.
class TrackMeter
{
public:
    explicit TrackMeter(int order) : m_order(order) {}

    int order() const { return m_order; }

    void add(const float *frames, size_t count, int rate)
    {
        if (!m_both) {
            m_both = stereoState(rate);
            m_left = sideState(rate);
            m_right = sideState(rate);
        }
        if (!m_both || !m_left || !m_right)
            return;
        ebur128_add_frames_float(m_both.get(), frames, count);
        m_side.resize(count);
        for (int side = 0; side < 2; ++side) {
            for (size_t i = 0; i < count; ++i)
                m_side[i] = frames[2 * i + size_t(side)];
            ebur128_add_frames_float(side == 0 ? m_left.get() : m_right.get(), m_side.data(), count);
        }
    }

    std::optional<ChannelLoudness> both() const { return loudnessOf(m_both.get(), std::max(peak(0), peak(1))); }
    std::optional<ChannelLoudness> side(int side) const
    {
        return loudnessOf(side == 0 ? m_left.get() : m_right.get(), peak(side));
    }

private:
    double peak(int channel) const
    {
        double value = 0;
        if (m_both)
            ebur128_true_peak(m_both.get(), unsigned(channel), &value);
        return value;
    }

    int m_order;
    MeterState m_both;
    MeterState m_left;
    MeterState m_right;
    std::vector<float> m_side;
};

// What the decoding threads share with the measuring one.
struct Measurement
{
    GstElement *pipeline = nullptr;
    GstTaskPool *threads = nullptr;
    std::mutex mutex;
    std::vector<std::unique_ptr<TrackMeter>> tracks;
    bool decoderMissing = false;
};

void onPadAdded(GstElement *, GstPad *pad, gpointer data)
{
    auto *measurement = static_cast<Measurement *>(data);
    GstElement *branch = nullptr;
    if (GstSoundBranches::isSoundPad(pad)) {
        std::lock_guard lock(measurement->mutex);
        measurement->tracks.push_back(std::make_unique<TrackMeter>(GstSoundBranches::padOrder(pad)));
        branch = GstSoundBranches::stereoFloatBranch(
            [](void *track, const float *frames, size_t count, int rate) {
                static_cast<TrackMeter *>(track)->add(frames, count, rate);
            },
            measurement->tracks.back().get());
    } else {
        branch = GstSoundBranches::discardBranch();
    }
    GstSoundBranches::link(measurement->pipeline, pad, branch);
}

void onDeepElementAdded(GstBin *, GstBin *, GstElement *element, gpointer)
{
    GstSoundFont::applyTo(element);
}

// Every streaming thread of the measurement is one of its own.
GstBusSyncReply onSyncMessage(GstBus *, GstMessage *message, gpointer data)
{
    GstOwnTaskPool::adopt(message, static_cast<Measurement *>(data)->threads);
    return GST_BUS_PASS;
}

LoudnessMeter::Outcome errorOutcome(GstMessage *message)
{
    GError *error = nullptr;
    gst_message_parse_error(message, &error, nullptr);
    const bool later = error && ((error->domain == GST_RESOURCE_ERROR && error->code != GST_RESOURCE_ERROR_SETTINGS)
                                 || (error->domain == GST_CORE_ERROR && error->code == GST_CORE_ERROR_MISSING_PLUGIN)
                                 || (error->domain == GST_STREAM_ERROR && error->code == GST_STREAM_ERROR_CODEC_NOT_FOUND));
    g_clear_error(&error);
    return later ? LoudnessMeter::Outcome::Unavailable : LoudnessMeter::Outcome::Undecodable;
}

// When a measurement has taken too long: the limit's floor after it began, or once the song's
// length is known, that length times the limit's factor if that is later.
class Deadline
{
public:
    using Clock = std::chrono::steady_clock;

    explicit Deadline(const GstLoudnessMeter::TimeLimit &limit)
        : m_limit(limit)
        , m_start(Clock::now())
        , m_end(m_start + std::chrono::milliseconds(limit.atLeastMs))
    {
    }

    bool passed(GstElement *pipeline)
    {
        gint64 length = 0;
        if (!m_lengthKnown && gst_element_query_duration(pipeline, GST_FORMAT_TIME, &length) && length > 0) {
            m_lengthKnown = true;
            const auto allowed = std::chrono::nanoseconds(gint64(double(length) * m_limit.timesLength));
            m_end = std::max(m_end, m_start + std::chrono::duration_cast<Clock::duration>(allowed));
        }
        return Clock::now() > m_end;
    }

private:
    GstLoudnessMeter::TimeLimit m_limit;
    Clock::time_point m_start;
    Clock::time_point m_end;
    bool m_lengthKnown = false;
};

// Waits for the end of decoding, an error, stop or the deadline; the outcome.
LoudnessMeter::Outcome awaitEnd(Measurement &measurement, const std::atomic<bool> &stop, Deadline deadline)
{
    GstBus *bus = gst_element_get_bus(measurement.pipeline);
    const auto wanted = GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR | GST_MESSAGE_ELEMENT);
    auto outcome = LoudnessMeter::Outcome::Stopped;
    while (!stop) {
        if (deadline.passed(measurement.pipeline)) {
            outcome = LoudnessMeter::Outcome::TimedOut;
            break;
        }
        GstMessage *message = gst_bus_timed_pop_filtered(bus, kStopPoll, wanted);
        if (!message)
            continue;
        const GstMessageType type = GST_MESSAGE_TYPE(message);
        if (type == GST_MESSAGE_ELEMENT && gst_is_missing_plugin_message(message))
            measurement.decoderMissing = true;
        if (type == GST_MESSAGE_EOS)
            outcome = LoudnessMeter::Outcome::Measured;
        else if (type == GST_MESSAGE_ERROR)
            outcome = errorOutcome(message);
        gst_message_unref(message);
        if (type != GST_MESSAGE_ELEMENT)
            break;
    }
    gst_object_unref(bus);
    return outcome;
}

// The tracks in the order the player numbers them: a file of three or more tracks has one per
// channel choice, any other plays the sides of its first.
SongLoudness loudnessOf(std::vector<std::unique_ptr<TrackMeter>> &tracks)
{
    std::sort(tracks.begin(), tracks.end(), [](const auto &a, const auto &b) { return a->order() < b->order(); });
    SongLoudness loudness;
    if (tracks.size() >= 3) {
        for (size_t i = 0; i < 3; ++i)
            loudness.channels[i] = tracks[i]->both();
    } else if (!tracks.empty()) {
        loudness.channels = {tracks[0]->both(), tracks[0]->side(0), tracks[0]->side(1)};
    }
    return loudness;
}

// A CD+G song's sound is its MP3: the pictures are not made at all.
void onSourceSetup(GstElement *, GstElement *source, gpointer)
{
    if (GstCdgSource::isCdgSource(source))
        GstCdgSource::setPicturesWanted(source, false);
}

GstElement *decoderFor(const QString &path, const QString &cdgUri, Measurement &measurement)
{
    GstElement *decode = gst_element_factory_make("uridecodebin", nullptr);
    gchar *uri = nullptr;
    if (decode && cdgUri.isEmpty())
        uri = gst_filename_to_uri(QFile::encodeName(path).constData(), nullptr);
    else if (decode)
        uri = g_strdup(cdgUri.toUtf8().constData());
    if (!uri) {
        if (decode)
            gst_object_unref(decode);
        return nullptr;
    }
    g_object_set(decode, "uri", uri, nullptr);
    g_free(uri);
    g_signal_connect(decode, "pad-added", G_CALLBACK(onPadAdded), &measurement);
    g_signal_connect(decode, "autoplug-select", G_CALLBACK(GstSoundBranches::skipPictureDecoders), nullptr);
    g_signal_connect(decode, "source-setup", G_CALLBACK(onSourceSetup), nullptr);
    return decode;
}

} // namespace

GstLoudnessMeter::GstLoudnessMeter(Priority priority)
    : GstLoudnessMeter(priority, TimeLimit{})
{
}

GstLoudnessMeter::GstLoudnessMeter(Priority priority, TimeLimit limit)
    : m_priority(priority)
    , m_limit(limit)
{
    GstRuntime::ensureInitialized();
}

LoudnessMeter::Result GstLoudnessMeter::measure(const QString &path, const std::atomic<bool> &stop)
{
    if (!GstSoundBranches::isRegularFile(path))
        return {Outcome::Unavailable, {}};
    Measurement measurement;
    const QString cdgUri = GstCdgSource::uriFor(path);
    GstElement *decode = decoderFor(path, cdgUri, measurement);
    if (!decode)
        return {Outcome::Unavailable, {}};
    measurement.threads = GstOwnTaskPool::create(m_priority == Priority::Background);
    measurement.pipeline = gst_pipeline_new(nullptr);
    gst_bin_add(GST_BIN(measurement.pipeline), decode);
    g_signal_connect(measurement.pipeline, "deep-element-added", G_CALLBACK(onDeepElementAdded), nullptr);
    GstBus *bus = gst_element_get_bus(measurement.pipeline);
    gst_bus_set_sync_handler(bus, onSyncMessage, &measurement, nullptr);
    gst_object_unref(bus);

    // A file that cannot be opened posts its error on the bus, where awaitEnd reads it.
    const Deadline deadline(m_limit);
    gst_element_set_state(measurement.pipeline, GST_STATE_PLAYING);
    Outcome outcome = awaitEnd(measurement, stop, deadline);
    gst_element_set_state(measurement.pipeline, GST_STATE_NULL);
    gst_object_unref(measurement.pipeline);
    gst_object_unref(measurement.threads);
    if (outcome == Outcome::Measured && measurement.decoderMissing)
        outcome = Outcome::Unavailable;
    if (outcome != Outcome::Measured)
        return {outcome, {}};
    SongLoudness loudness = loudnessOf(measurement.tracks);
    // A CD+G song plays its whole mix under every channel choice.
    if (!cdgUri.isEmpty())
        loudness.channels[1] = loudness.channels[2] = loudness.channels[0];
    return {outcome, loudness};
}
