#pragma once

#include "platform/loudness_meter.h"

// The loudness meter on GStreamer decoding and libebur128. Only the sound is decoded; pictures
// are passed over undecoded. Its decoding threads are its own, never borrowed from the pool the
// player's pipelines take theirs from; in the background they run at the lowest priority, so
// they take only what the machine leaves unused.
class GstLoudnessMeter : public LoudnessMeter
{
public:
    enum class Priority { Normal, Background };
    // A file whose measurement takes longer than this is stopped (Outcome::TimedOut): some
    // times its length once that is known, and never less than a floor.
    struct TimeLimit
    {
        double timesLength = 10;
        int atLeastMs = 60000;
    };

    explicit GstLoudnessMeter(Priority priority = Priority::Normal);
    GstLoudnessMeter(Priority priority, TimeLimit limit);

    Result measure(const QString &path, const std::atomic<bool> &stop) override;

private:
    Priority m_priority;
    TimeLimit m_limit;
};
