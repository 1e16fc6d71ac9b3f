#pragma once

#include <QString>

#include <cstddef>
#include <functional>

// The guest's microphone as the scorer listens to it: the capture source the recorder uses,
// delivered as mono samples while a song plays. Nothing is written to disk.
class VoiceCapture
{
public:
    // Called on a thread of the capture's own, block after block.
    using Listener = std::function<void(const float *samples, size_t count, int rate)>;

    virtual ~VoiceCapture() = default;
    // Starts listening; empty when it listens, else why it cannot (no capture device).
    virtual QString start(Listener listener) = 0;
    // Stops listening; the listener is never called once this returns. Empty when the capture
    // ran well, else what went wrong while it ran.
    virtual QString stop() = 0;
};
