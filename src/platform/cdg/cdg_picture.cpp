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

namespace {

// One row of the frame in the margin colour, kept in the frame itself: the first row above or
// below the picture, or none when the picture reaches both edges.
std::uint32_t *marginRow(const CdgFrameLayout &layout, std::uint8_t *frame, std::uint32_t margin)
{
    const int pictureBottom = layout.top + CdgScreen::kHeight * layout.scale;
    int y = layout.top > 0 ? 0 : pictureBottom;
    if (y >= layout.height)
        return nullptr;
    auto *row = reinterpret_cast<std::uint32_t *>(frame + std::size_t(y) * layout.stride());
    std::fill_n(row, layout.width, margin);
    return row;
}

void fillMargin(std::uint32_t *out, int count, const std::uint32_t *marginRow, std::uint32_t margin)
{
    if (marginRow)
        std::memcpy(out, marginRow, std::size_t(count) * 4);
    else
        std::fill_n(out, count, margin);
}

} // namespace

// Each screen line is turned into colours once; the rows it is scaled onto and the margin
// rows are copies, so a frame costs about one pass over its memory.
void drawCdgFrame(const CdgScreen &screen, const CdgFrameLayout &layout, std::uint8_t *frame)
{
    std::array<std::uint32_t, CdgScreen::kColours> palette;
    for (int i = 0; i < CdgScreen::kColours; ++i)
        palette[std::size_t(i)] = bgrx(screen.colour(i));
    const std::uint32_t *colours = palette.data();
    const std::uint32_t margin = colours[screen.borderColour()];
    const std::size_t stride = layout.stride();
    const std::uint32_t *plain = marginRow(layout, frame, margin);
    const int pictureBottom = layout.top + CdgScreen::kHeight * layout.scale;
    for (int y = 0; y < layout.height; ++y) {
        std::uint8_t *row = frame + std::size_t(y) * stride;
        if ((y < layout.top || y >= pictureBottom) && row != reinterpret_cast<const std::uint8_t *>(plain))
            std::memcpy(row, plain, stride);
    }
    const int right = layout.width - layout.left - CdgScreen::kWidth * layout.scale;
    std::array<std::uint8_t, CdgScreen::kWidth> indices;
    for (int line = 0; line < CdgScreen::kHeight; ++line) {
        std::uint8_t *first = frame + std::size_t(layout.top + line * layout.scale) * stride;
        auto *out = reinterpret_cast<std::uint32_t *>(first);
        fillMargin(out, layout.left, plain, margin);
        out += layout.left;
        screen.shownLine(line, indices.data());
        if (layout.scale == 1) {
            for (const std::uint8_t index : indices)
                *out++ = colours[index];
        } else {
            for (const std::uint8_t index : indices)
                out = std::fill_n(out, layout.scale, colours[index]);
        }
        fillMargin(out, right, plain, margin);
        for (int copy = 1; copy < layout.scale; ++copy)
            std::memcpy(first + std::size_t(copy) * stride, first, stride);
    }
}
