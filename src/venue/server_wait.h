#pragma once

#include <functional>

// How the window thread waits for a change on the venue's catalogue server, which runs on a
// thread of its own meanwhile: the windows keep answering, and the owner can cancel. A wait
// that is not given (runs without a window, workers) waits on the calling thread.
class ServerWait
{
public:
    virtual ~ServerWait() = default;
    // Returns once finished() is true, answering the windows meanwhile; cancel() may be called
    // (the owner's cancel), after which finished() soon becomes true.
    virtual void waitUntil(const std::function<bool()> &finished, const std::function<void()> &cancel) = 0;
};
