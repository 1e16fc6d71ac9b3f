#pragma once

#include "platform/cdg/cdg_screen.h"

#include <cstdint>
#include <functional>
#include <vector>

// A CD+G stream turned into pictures at the video rate. Packets are read as they come; the
// picture of frame k is the screen after every packet that starts at or before the frame's
// time (packet n starts at n / 300 s). Bytes after the last whole packet are ignored.
class CdgPlayback
{
public:
    static constexpr int kFramesPerSecond = 25;
    static constexpr int kPacketsPerFrame = CdgScreen::kPacketsPerSecond / kFramesPerSecond;

    // Fills the buffer with up to size bytes of the stream; 0 at its end or on a read error.
    using Read = std::function<std::size_t(std::uint8_t *buffer, std::size_t size)>;

    explicit CdgPlayback(Read read);

    // Applies the packets up to frame's time. False when the stream ended before the frame's
    // first packet: the frame has no picture, and the pictures end with the one before.
    bool advanceToFrame(std::int64_t frame);
    std::int64_t packetsApplied() const { return m_packets; }
    const CdgScreen &screen() const { return m_screen; }

    // A frame's time in nanoseconds from the start.
    static std::int64_t frameTime(std::int64_t frame);
    // The first frame whose time is at or after the given one.
    static std::int64_t frameAt(std::int64_t nanoseconds);

private:
    bool applyNextPacket();

    Read m_read;
    CdgScreen m_screen;
    std::vector<std::uint8_t> m_buffer;
    std::size_t m_used = 0;
    std::size_t m_filled = 0;
    std::int64_t m_packets = 0;
    bool m_ended = false;
};
