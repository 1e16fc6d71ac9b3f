#include "platform/cdg/cdg_picture.h"

#include "platform/cdg/cdg_screen.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

// Video sinks and converters work in even sizes.
constexpr int kLargest = 7680;

int evenUp(int value)
{
    return value + (value & 1);
}

std::uint32_t bgrx(std::uint32_t rgb)
{
    return 0xFF000000u | rgb;
}

} // namespace

CdgFrameLayout CdgFrameLayout::forDisplay(int displayWidth, int displayHeight, bool fillDisplay)
{
    constexpr int w = CdgScreen::kWidth;
    constexpr int h = CdgScreen::kHeight;
    CdgFrameLayout layout{w, h, 1, 0, 0};
    if (displayWidth < w || displayHeight < h)
        return layout;
    displayWidth = std::min(displayWidth, kLargest);
    displayHeight = std::min(displayHeight, kLargest);
    if (fillDisplay) {
        layout.scale = std::min(displayWidth / w, displayHeight / h);
        layout.width = evenUp(displayWidth);
        layout.height = evenUp(displayHeight);
    } else if (std::int64_t(displayWidth) * h < std::int64_t(displayHeight) * w) {
        layout.width = w;
        layout.height = evenUp(int((std::int64_t(w) * displayHeight + displayWidth - 1) / displayWidth));
    } else {
        layout.width = evenUp(int((std::int64_t(h) * displayWidth + displayHeight - 1) / displayHeight));
        layout.height = h;
    }
    layout.left = (layout.width - w * layout.scale) / 2;
    layout.top = (layout.height - h * layout.scale) / 2;
    return layout;
}

void drawCdgFrame(const CdgScreen &screen, const CdgFrameLayout &layout, std::uint8_t *frame)
{
    std::array<std::uint32_t, CdgScreen::kColours> palette;
    for (int i = 0; i < CdgScreen::kColours; ++i)
        palette[std::size_t(i)] = bgrx(screen.colour(i));
    const std::uint32_t margin = palette[std::size_t(screen.borderColour())];
    const int pictureWidth = CdgScreen::kWidth * layout.scale;
    const int pictureBottom = layout.top + CdgScreen::kHeight * layout.scale;
    const int right = layout.width - layout.left - pictureWidth;
    std::array<std::uint8_t, CdgScreen::kWidth> indices;
    for (int y = 0; y < layout.height; ++y) {
        auto *row = reinterpret_cast<std::uint32_t *>(frame + std::size_t(y) * layout.stride());
        if (y < layout.top || y >= pictureBottom) {
            std::fill_n(row, layout.width, margin);
            continue;
        }
        // The rows a screen line is drawn on after its first are copies of it.
        if ((y - layout.top) % layout.scale != 0) {
            std::memcpy(row, row - layout.width, layout.stride());
            continue;
        }
        screen.shownLine((y - layout.top) / layout.scale, indices.data());
        std::fill_n(row, layout.left, margin);
        std::uint32_t *out = row + layout.left;
        for (const std::uint8_t index : indices) {
            const std::uint32_t colour = palette[index];
            for (int i = 0; i < layout.scale; ++i)
                *out++ = colour;
        }
        std::fill_n(out, right, margin);
    }
}
