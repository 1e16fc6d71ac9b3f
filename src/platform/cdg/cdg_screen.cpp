#include "platform/cdg/cdg_screen.h"

#include <algorithm>

namespace {

constexpr std::uint8_t kGraphicsCommand = 0x09;
constexpr std::uint8_t kSixBits = 0x3F;
constexpr std::uint8_t kFourBits = 0x0F;
constexpr int kDataOffset = 4;

// The border is one tile wide at each side.
constexpr int kInnerLeft = CdgScreen::kTileWidth;
constexpr int kInnerRight = CdgScreen::kWidth - CdgScreen::kTileWidth;
constexpr int kInnerTop = CdgScreen::kTileHeight;
constexpr int kInnerBottom = CdgScreen::kHeight - CdgScreen::kTileHeight;
constexpr int kMaxHorizontalOffset = CdgScreen::kTileWidth - 1;
constexpr int kMaxVerticalOffset = CdgScreen::kTileHeight - 1;

// A palette entry's two bytes hold red in four bits, green split over both, blue in four.
std::uint32_t paletteColour(std::uint8_t high, std::uint8_t low)
{
    const std::uint32_t red = (high >> 2) & kFourBits;
    const std::uint32_t green = ((high & 0x3u) << 2) | ((low >> 4) & 0x3u);
    const std::uint32_t blue = low & kFourBits;
    return (red * 17) << 16 | (green * 17) << 8 | (blue * 17);
}

// A scroll moves the memory a tile at a time: 1 right or down, 2 left or up, else not at all.
int scrollStep(std::uint8_t field, int tile)
{
    switch ((field >> 4) & 0x3) {
    case 1:
        return tile;
    case 2:
        return -tile;
    default:
        return 0;
    }
}

int wrapped(int value, int size)
{
    return ((value % size) + size) % size;
}

} // namespace

CdgScreen::CdgScreen() = default;

void CdgScreen::apply(const std::uint8_t *packet)
{
    if ((packet[0] & kSixBits) != kGraphicsCommand)
        return;
    const Data data = packet + kDataOffset;
    switch (packet[1] & kSixBits) {
    case MemoryPreset:
        presetMemory(data);
        break;
    case BorderPreset:
        presetBorder(data);
        break;
    case TileBlock:
        drawTile(data, false);
        break;
    case TileBlockXor:
        drawTile(data, true);
        break;
    case ScrollPreset:
        scroll(data, false);
        break;
    case ScrollCopy:
        scroll(data, true);
        break;
    case DefineTransparent:
        m_transparentColour = data[0] & kFourBits;
        break;
    case LoadColoursLow:
        loadColours(data, 0);
        break;
    case LoadColoursHigh:
        loadColours(data, kColours / 2);
        break;
    default:
        break;
    }
}

std::uint8_t CdgScreen::shownPixel(int x, int y) const
{
    if (x < kInnerLeft || x >= kInnerRight || y < kInnerTop || y >= kInnerBottom)
        return pixel(x, y);
    // The offsets stay below a tile, so the shifted view never leaves the memory.
    return pixel(x + m_horizontalOffset, y + m_verticalOffset);
}

void CdgScreen::shownLine(int y, std::uint8_t *out) const
{
    const std::uint8_t *line = &m_pixels[std::size_t(y) * kWidth];
    std::copy_n(line, kWidth, out);
    if (y < kInnerTop || y >= kInnerBottom)
        return;
    const std::uint8_t *shifted = &m_pixels[std::size_t(y + m_verticalOffset) * kWidth + std::size_t(m_horizontalOffset)];
    std::copy_n(shifted + kInnerLeft, kInnerRight - kInnerLeft, out + kInnerLeft);
}

void CdgScreen::fill(int left, int top, int right, int bottom, std::uint8_t colour)
{
    for (int y = top; y < bottom; ++y)
        std::fill_n(m_pixels.begin() + std::ptrdiff_t(y) * kWidth + left, right - left, colour);
}

void CdgScreen::presetMemory(Data data)
{
    const std::uint8_t colour = data[0] & kFourBits;
    fill(0, 0, kWidth, kHeight, colour);
    m_borderColour = colour;
    ++m_generation;
}

void CdgScreen::presetBorder(Data data)
{
    const std::uint8_t colour = data[0] & kFourBits;
    fill(0, 0, kWidth, kInnerTop, colour);
    fill(0, kInnerBottom, kWidth, kHeight, colour);
    fill(0, kInnerTop, kInnerLeft, kInnerBottom, colour);
    fill(kInnerRight, kInnerTop, kWidth, kInnerBottom, colour);
    m_borderColour = colour;
    ++m_generation;
}

// Twelve rows of six bits, the highest bit the leftmost pixel: a set bit takes the second
// colour, a clear one the first. The exclusive-or form combines the index with what is there.
void CdgScreen::drawTile(Data data, bool exclusiveOr)
{
    const std::uint8_t colours[2] = {std::uint8_t(data[0] & kFourBits), std::uint8_t(data[1] & kFourBits)};
    const int row = data[2] & 0x1F;
    const int column = data[3] & kSixBits;
    if (row >= kRows || column >= kColumns)
        return;
    const int left = column * kTileWidth;
    const int top = row * kTileHeight;
    for (int line = 0; line < kTileHeight; ++line) {
        const std::uint8_t bits = data[4 + line] & kSixBits;
        std::uint8_t *out = &m_pixels[std::size_t(top + line) * kWidth + std::size_t(left)];
        for (int i = 0; i < kTileWidth; ++i) {
            const std::uint8_t colour = colours[(bits >> (kTileWidth - 1 - i)) & 1];
            out[i] = exclusiveOr ? std::uint8_t((out[i] ^ colour) & kFourBits) : colour;
        }
    }
    ++m_generation;
}

// Moves the memory by a tile (the preset form fills what comes free with a colour, the copy
// form brings in what went out at the other side) and sets the offsets of the shown picture.
void CdgScreen::scroll(Data data, bool copy)
{
    const std::uint8_t colour = data[0] & kFourBits;
    const int dx = scrollStep(data[1], kTileWidth);
    const int dy = scrollStep(data[2], kTileHeight);
    m_horizontalOffset = std::min(data[1] & 0x07, kMaxHorizontalOffset);
    m_verticalOffset = std::min(data[2] & kFourBits, kMaxVerticalOffset);
    ++m_generation;
    if (dx == 0 && dy == 0)
        return;
    const auto old = m_pixels;
    for (int y = 0; y < kHeight; ++y) {
        std::uint8_t *out = &m_pixels[std::size_t(y) * kWidth];
        const int fromY = y - dy;
        if (!copy && (fromY < 0 || fromY >= kHeight)) {
            std::fill_n(out, kWidth, colour);
            continue;
        }
        const std::uint8_t *in = &old[std::size_t(wrapped(fromY, kHeight)) * kWidth];
        if (copy) {
            std::rotate_copy(in, in + wrapped(-dx, kWidth), in + kWidth, out);
        } else if (dx >= 0) {
            std::fill_n(out, dx, colour);
            std::copy_n(in, kWidth - dx, out + dx);
        } else {
            std::copy_n(in - dx, kWidth + dx, out);
            std::fill_n(out + kWidth + dx, -dx, colour);
        }
    }
}

void CdgScreen::loadColours(Data data, int first)
{
    for (int i = 0; i < kColours / 2; ++i)
        m_palette[std::size_t(first + i)] = paletteColour(data[2 * i] & kSixBits, data[2 * i + 1] & kSixBits);
    ++m_generation;
}
