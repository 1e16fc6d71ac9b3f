#pragma once

#include "platform/loudness_meter.h"

// The loudness meter on GStreamer decoding and libebur128. Only the sound is decoded; pictures
// are passed over undecoded. In the background its decoding threads run at the lowest
// priority, so they take only what the machine leaves unused.
class GstLoudnessMeter : public LoudnessMeter
{
public:
    enum class Priority { Normal, Background };

    explicit GstLoudnessMeter(Priority priority = Priority::Normal);

    Result measure(const QString &path, const std::atomic<bool> &stop) override;

private:
    Priority m_priority;
};
