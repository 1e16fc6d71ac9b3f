// A CD+G stream as any bytes: decoding never fails, every pixel is one of the 16 colours, a
// frame drawn into any layout shows exactly what the screen shows and the border colour
// around it, and frames follow the packets in order.
#include "fuzz_support.h"

#include "platform/cdg/cdg_picture.h"
#include "platform/cdg/cdg_playback.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

std::uint32_t frameColour(const std::vector<std::uint8_t> &frame, const CdgFrameLayout &layout, int x, int y)
{
    const std::uint8_t *p = &frame[std::size_t(y) * layout.stride() + std::size_t(x) * 4];
    return std::uint32_t(p[3]) << 24 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];
}

void checkFrame(const CdgScreen &screen, const CdgFrameLayout &layout, std::vector<std::uint8_t> &frame)
{
    drawCdgFrame(screen, layout, frame.data());
    const std::uint32_t margin = 0xFF000000u | screen.colour(screen.borderColour());
    fuzzCheck(frameColour(frame, layout, 0, 0) == margin || (layout.left == 0 && layout.top == 0),
              "the margin is the border colour");
    for (int y = 0; y < CdgScreen::kHeight; y += 7) {
        for (int x = 0; x < CdgScreen::kWidth; x += 5) {
            const std::uint8_t index = screen.shownPixel(x, y);
            fuzzCheck(index < CdgScreen::kColours, "a pixel is one of the 16 colours");
            const std::uint32_t drawn = frameColour(frame, layout, layout.left + x * layout.scale + layout.scale - 1,
                                                    layout.top + y * layout.scale + layout.scale - 1);
            fuzzCheck(drawn == (0xFF000000u | screen.colour(index)), "the frame shows the screen's colour");
        }
    }
}

// The line a frame is drawn from is the screen as shownPixel sees it.
void checkLine(const CdgScreen &screen, int y)
{
    std::uint8_t line[CdgScreen::kWidth];
    screen.shownLine(y, line);
    for (int x = 0; x < CdgScreen::kWidth; x += 3)
        fuzzCheck(line[x] == screen.shownPixel(x, y), "a shown line is what the pixels show");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    // The first two bytes choose the display and how far apart the frames are asked for.
    const int display = data[0];
    const std::int64_t step = 1 + data[1] % 40;
    const std::uint8_t *stream = data + 2;
    const std::size_t length = size - 2;
    std::size_t at = 0;
    CdgPlayback playback([&](std::uint8_t *buffer, std::size_t wanted) {
        // Uneven reads, as a zip member or a pipe gives them.
        const std::size_t n = std::min({wanted, length - at, std::size_t(1 + (at * 7) % 97)});
        std::memcpy(buffer, stream + at, n);
        at += n;
        return n;
    });
    const std::int64_t packets = std::int64_t(length / CdgScreen::kPacketSize);
    const CdgFrameLayout layout = CdgFrameLayout::forDisplay(300 + (display & 0x0F) * 20, 216 + (display >> 4) * 15,
                                                             display & 1);
    std::int64_t applied = 0;
    for (std::int64_t frame = 0;; frame += step) {
        const bool exists = playback.advanceToFrame(frame);
        fuzzCheck(playback.packetsApplied() >= applied, "packets are applied in order, never twice");
        applied = playback.packetsApplied();
        fuzzCheck(applied <= packets, "only whole packets are applied");
        fuzzCheck(exists == (packets > frame * CdgPlayback::kPacketsPerFrame),
                  "a frame exists while a packet starts by its time");
        if (!exists)
            break;
        checkLine(playback.screen(), int(frame % CdgScreen::kHeight));
    }
    fuzzCheck(applied == packets, "every whole packet is applied by the end");
    // A whole frame costs far more than the packets before it: one per input, in one buffer
    // kept for the run.
    static std::vector<std::uint8_t> pictures;
    pictures.resize(std::max(pictures.size(), layout.bytes()));
    checkFrame(playback.screen(), layout, pictures);
    return 0;
}
