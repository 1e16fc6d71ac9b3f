#include "scoring/pitch_tracker.h"

#include <aubio/aubio.h>

#include <algorithm>
#include <limits>

namespace {

// Two periods of the lowest voice (35, a low B of 62 Hz) fit in 40 ms.
size_t windowFor(int rate)
{
    size_t window = 256;
    while (double(window) < 0.040 * rate)
        window *= 2;
    return window;
}

} // namespace

struct PitchTracker::Aubio
{
    aubio_pitch_t *pitch = nullptr;
    fvec_t *in = nullptr;
    fvec_t *out = nullptr;

    Aubio(size_t window, size_t hop, int rate)
        : pitch(new_aubio_pitch("yinfast", uint_t(window), uint_t(hop), uint_t(rate)))
        , in(new_fvec(uint_t(hop)))
        , out(new_fvec(1))
    {
        if (pitch) {
            aubio_pitch_set_unit(pitch, "midi");
            aubio_pitch_set_silence(pitch, PitchTracker::kSilenceDb);
        }
    }
    ~Aubio()
    {
        if (pitch)
            del_aubio_pitch(pitch);
        del_fvec(in);
        del_fvec(out);
    }
};

PitchTracker::PitchTracker(int sampleRate)
    : m_rate(std::max(sampleRate, 8000))
    , m_hop(size_t(m_rate) / 100)
    , m_aubio(std::make_unique<Aubio>(windowFor(m_rate), m_hop, m_rate))
{
    m_pending.reserve(m_hop);
}

PitchTracker::~PitchTracker() = default;

void PitchTracker::add(const float *samples, size_t count)
{
    while (count > 0) {
        const size_t taken = std::min(count, m_hop - m_pending.size());
        m_pending.insert(m_pending.end(), samples, samples + taken);
        samples += taken;
        count -= taken;
        if (m_pending.size() == m_hop) {
            analyseHop();
            m_pending.clear();
        }
    }
}

void PitchTracker::analyseHop()
{
    float note = std::numeric_limits<float>::quiet_NaN();
    if (m_aubio->pitch) {
        std::copy(m_pending.begin(), m_pending.end(), m_aubio->in->data);
        aubio_pitch_do(m_aubio->pitch, m_aubio->in, m_aubio->out);
        const float found = m_aubio->out->data[0];
        // Below a low E of a bass voice or above a whistle is not singing.
        if (found >= 35 && found <= 96 && aubio_pitch_get_confidence(m_aubio->pitch) >= kMinConfidence)
            note = found;
    }
    m_track.notes.push_back(note);
}
