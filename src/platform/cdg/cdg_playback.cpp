#include "platform/cdg/cdg_playback.h"

#include <cstring>

namespace {
constexpr std::size_t kReadSize = 300 * CdgScreen::kPacketSize; // a second of packets
constexpr std::int64_t kNanosecondsPerSecond = 1000000000;
} // namespace

CdgPlayback::CdgPlayback(Read read)
    : m_read(std::move(read))
    , m_buffer(kReadSize)
{
}

bool CdgPlayback::advanceToFrame(std::int64_t frame)
{
    const std::int64_t wanted = frame * kPacketsPerFrame + 1;
    while (m_packets < wanted) {
        if (!applyNextPacket())
            return m_packets > frame * kPacketsPerFrame;
    }
    return true;
}

bool CdgPlayback::applyNextPacket()
{
    while (!m_ended && m_filled - m_used < CdgScreen::kPacketSize) {
        // Keeps the part of a packet read so far, then reads on behind it.
        const std::size_t kept = m_filled - m_used;
        std::memmove(m_buffer.data(), m_buffer.data() + m_used, kept);
        m_used = 0;
        m_filled = kept;
        const std::size_t got = m_read(m_buffer.data() + m_filled, m_buffer.size() - m_filled);
        if (got == 0 || got > m_buffer.size() - m_filled)
            m_ended = true;
        else
            m_filled += got;
    }
    if (m_filled - m_used < CdgScreen::kPacketSize)
        return false;
    m_screen.apply(m_buffer.data() + m_used);
    m_used += CdgScreen::kPacketSize;
    ++m_packets;
    return true;
}

std::int64_t CdgPlayback::frameTime(std::int64_t frame)
{
    return frame * kNanosecondsPerSecond / kFramesPerSecond;
}

std::int64_t CdgPlayback::frameAt(std::int64_t nanoseconds)
{
    if (nanoseconds <= 0)
        return 0;
    return (nanoseconds * kFramesPerSecond + kNanosecondsPerSecond - 1) / kNanosecondsPerSecond;
}
