#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The picture memory of a CD+G track: 300 x 216 pixels in tiles of 6 x 12, each pixel an
// index into a palette of 16 colours. Packets change it as they come; a packet that is not a
// graphics packet, or that names a tile outside the screen, changes nothing.
class CdgScreen
{
public:
    static constexpr int kWidth = 300;
    static constexpr int kHeight = 216;
    static constexpr int kTileWidth = 6;
    static constexpr int kTileHeight = 12;
    static constexpr int kColumns = kWidth / kTileWidth; // 50
    static constexpr int kRows = kHeight / kTileHeight;  // 18
    static constexpr int kColours = 16;
    static constexpr std::size_t kPacketSize = 24;
    static constexpr int kPacketsPerSecond = 300;

    // What the low six bits of a packet's second byte ask for.
    enum Instruction : std::uint8_t {
        MemoryPreset = 1,
        BorderPreset = 2,
        TileBlock = 6,
        ScrollPreset = 20,
        ScrollCopy = 24,
        DefineTransparent = 28,
        LoadColoursLow = 30,
        LoadColoursHigh = 31,
        TileBlockXor = 38,
    };

    CdgScreen();

    // One packet of kPacketSize bytes.
    void apply(const std::uint8_t *packet);

    // The colour index stored at a pixel of the memory.
    std::uint8_t pixel(int x, int y) const { return m_pixels[std::size_t(y) * kWidth + std::size_t(x)]; }
    // The colour index seen at a pixel of the picture: inside the border the memory is seen
    // shifted by the scroll offsets, the border is seen as it is.
    std::uint8_t shownPixel(int x, int y) const;
    // The colour indices of one line of the picture as shownPixel sees them, kWidth of them.
    void shownLine(int y, std::uint8_t *out) const;
    // A palette entry as 0xRRGGBB (each of the format's 4-bit levels stretched to 8 bits).
    std::uint32_t colour(int index) const { return m_palette[std::size_t(index)]; }

    // The colour of the last memory or border preset: what surrounds the picture.
    int borderColour() const { return m_borderColour; }
    // The colour a video behind the picture would show through; -1 until one is defined.
    int transparentColour() const { return m_transparentColour; }
    int horizontalOffset() const { return m_horizontalOffset; }
    int verticalOffset() const { return m_verticalOffset; }
    // Grows with every packet that changes what the picture shows.
    std::uint64_t generation() const { return m_generation; }

private:
    using Data = const std::uint8_t *;

    void fill(int left, int top, int right, int bottom, std::uint8_t colour);
    void presetMemory(Data data);
    void presetBorder(Data data);
    void drawTile(Data data, bool exclusiveOr);
    void scroll(Data data, bool copy);
    void loadColours(Data data, int first);

    std::array<std::uint8_t, std::size_t(kWidth) * kHeight> m_pixels{};
    std::array<std::uint32_t, kColours> m_palette{};
    int m_borderColour = 0;
    int m_transparentColour = -1;
    int m_horizontalOffset = 0;
    int m_verticalOffset = 0;
    std::uint64_t m_generation = 0;
};
