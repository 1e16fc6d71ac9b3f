#include "scoring/singing_score.h"

#include <algorithm>
#include <cmath>

namespace {

// The distance of two pitches in semitones, folded into one octave: 0 ... 6.
float foldedDistance(float a, float b)
{
    const float d = std::fmod(std::fabs(a - b), 12.0F);
    return std::min(d, 12.0F - d);
}

int keyAt(std::span<const KeyChange> keys, size_t frame)
{
    int key = 0;
    for (const KeyChange &change : keys) {
        if (change.frame > frame)
            break;
        key = change.semitones;
    }
    return key;
}

struct Note
{
    size_t first = 0;
    size_t end = 0; // one past the last frame
};

std::vector<Note> notesOf(const PitchTrack &guide)
{
    std::vector<Note> notes;
    for (size_t i = 0; i < guide.size(); ++i) {
        if (!guide.voiced(i))
            continue;
        const bool continues = !notes.empty() && notes.back().end == i
            && std::fabs(guide.notes[i] - guide.notes[i - 1]) <= SingingScore::kNoteJumpSemitones;
        if (continues)
            notes.back().end = i + 1;
        else
            notes.push_back({i, i + 1});
    }
    return notes;
}

size_t hitsAt(const PitchTrack &guide, const PitchTrack &take, std::span<const KeyChange> keys, const Note &note,
              long offset)
{
    size_t hits = 0;
    for (size_t i = note.first; i < note.end; ++i) {
        const long at = long(i) + offset;
        if (at < 0 || !take.voiced(size_t(at)))
            continue;
        const float wanted = guide.notes[i] + float(keyAt(keys, size_t(at)));
        if (foldedDistance(take.notes[size_t(at)], wanted) < SingingScore::kHitSemitones)
            ++hits;
    }
    return hits;
}

} // namespace

std::optional<SingingScore> scoreSinging(const PitchTrack &guide, const PitchTrack &take,
                                         std::span<const KeyChange> keys, size_t minVoiced)
{
    SingingScore result;
    for (const Note &note : notesOf(guide)) {
        size_t best = 0;
        for (long offset = -SingingScore::kSlackFrames; offset <= SingingScore::kSlackFrames; ++offset)
            best = std::max(best, hitsAt(guide, take, keys, note, offset));
        result.guideFrames += note.end - note.first;
        result.hitFrames += best;
    }
    if (result.guideFrames < std::max<size_t>(minVoiced, 1))
        return std::nullopt;
    result.score = int(std::lround(100.0 * double(result.hitFrames) / double(result.guideFrames)));
    return result;
}
