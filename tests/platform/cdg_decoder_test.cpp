// The CD+G decoder alone: each instruction against the screen it leaves, the pictures' timing
// at the video rate, and how a picture is laid into a frame of the display's shape.
#include "platform/cdg/cdg_picture.h"
#include "platform/cdg/cdg_playback.h"
#include "platform/cdg/cdg_screen.h"
#include "support/cdg_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

using Rows = CdgWriter::TileRows;

struct Pixel
{
    int x;
    int y;
    int colour;
};

CdgScreen screenAfter(const std::function<void(CdgWriter &)> &write)
{
    CdgWriter writer;
    write(writer);
    CdgScreen screen;
    const QByteArray &bytes = writer.bytes();
    for (qsizetype at = 0; at + 24 <= bytes.size(); at += 24)
        screen.apply(reinterpret_cast<const std::uint8_t *>(bytes.constData() + at));
    return screen;
}

// Every pixel of the memory in one colour but those listed (a later entry for a pixel wins).
void expectMemory(const CdgScreen &screen, int background, const std::vector<Pixel> &others = {})
{
    std::vector<int> wanted(std::size_t(CdgScreen::kWidth) * CdgScreen::kHeight, background);
    for (const Pixel &p : others)
        wanted[std::size_t(p.y) * CdgScreen::kWidth + std::size_t(p.x)] = p.colour;
    int wrong = 0;
    for (int y = 0; y < CdgScreen::kHeight; ++y) {
        for (int x = 0; x < CdgScreen::kWidth; ++x) {
            const int colour = wanted[std::size_t(y) * CdgScreen::kWidth + std::size_t(x)];
            if (screen.pixel(x, y) != colour && ++wrong <= 5)
                ADD_FAILURE() << "pixel " << x << "," << y << " is " << int(screen.pixel(x, y)) << ", wanted " << colour;
        }
    }
}

std::vector<Pixel> tilePixels(int row, int column, int colour)
{
    std::vector<Pixel> pixels;
    for (int y = 0; y < CdgScreen::kTileHeight; ++y) {
        for (int x = 0; x < CdgScreen::kTileWidth; ++x)
            pixels.push_back({column * CdgScreen::kTileWidth + x, row * CdgScreen::kTileHeight + y, colour});
    }
    return pixels;
}

std::vector<Pixel> borderPixels(int colour)
{
    std::vector<Pixel> pixels;
    for (int y = 0; y < CdgScreen::kHeight; ++y) {
        for (int x = 0; x < CdgScreen::kWidth; ++x) {
            if (x < 6 || x >= 294 || y < 12 || y >= 204)
                pixels.push_back({x, y, colour});
        }
    }
    return pixels;
}

std::vector<Pixel> joined(std::vector<Pixel> a, const std::vector<Pixel> &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

} // namespace

TEST(CdgDecoderTest, EachInstructionLeavesTheScreenItDescribes)
{
    Rows pattern{};
    pattern[0] = 0b100001;
    pattern[11] = 0b011110;
    const struct Case
    {
        const char *what;
        std::function<void(CdgWriter &)> write;
        int background;
        std::vector<Pixel> pixels;
    } cases[] = {
        {"memory preset fills the whole screen", [](CdgWriter &w) { w.memoryPreset(7); }, 7, {}},
        {"the command's top two bits and the instruction's are not part of them",
         [](CdgWriter &w) { w.add(CdgWriter::packet(0x41, {9}, 0xC9)); }, 9, {}},
        {"a packet that is not graphics changes nothing",
         [](CdgWriter &w) {
             w.memoryPreset(3);
             w.add(CdgWriter::packet(1, {8}, 0x08));
             w.add(CdgWriter::packet(1, {8}, 0x0A));
         },
         3, {}},
        {"an unknown instruction changes nothing",
         [](CdgWriter &w) {
             w.memoryPreset(3);
             w.add(CdgWriter::packet(5, {8, 8, 8, 8}));
         },
         3, {}},
        {"a colour takes the low four bits", [](CdgWriter &w) { w.memoryPreset(0xF4); }, 4, {}},
        {"border preset fills the border only",
         [](CdgWriter &w) {
             w.memoryPreset(1);
             w.borderPreset(12);
         },
         1, borderPixels(12)},
        {"a tile's set bits take the second colour, the leftmost pixel the highest bit",
         [&](CdgWriter &w) { w.tile(2, 3, 4, 9, pattern); }, 0,
         joined(tilePixels(2, 3, 4), {{18, 24, 9}, {23, 24, 9}, {19, 35, 9}, {20, 35, 9}, {21, 35, 9}, {22, 35, 9}})},
        {"a tile in the last row and column",
         [](CdgWriter &w) { w.solidTile(17, 49, 6); }, 0, tilePixels(17, 49, 6)},
        {"a tile outside the screen is left out",
         [](CdgWriter &w) {
             w.solidTile(18, 0, 6);
             w.solidTile(0, 50, 6);
             w.solidTile(31, 63, 6);
         },
         0, {}},
        {"the exclusive-or tile combines its colours with what is there",
         [](CdgWriter &w) {
             w.tile(0, 0, 3, 3, CdgWriter::filledRows());
             Rows left{};
             left.fill(0b111000);
             w.tile(0, 0, 1, 2, left, true);
         },
         0, joined(tilePixels(0, 0, 3 ^ 1), [] {
             std::vector<Pixel> left;
             for (int y = 0; y < 12; ++y) {
                 for (int x = 0; x < 3; ++x)
                     left.push_back({x, y, 3 ^ 2});
             }
             return left;
         }())},
        {"scroll preset right moves a tile right and fills the column that came free",
         [](CdgWriter &w) {
             w.solidTile(5, 0, 8);
             w.scroll(false, 2, 1, 0, 0, 0);
         },
         0, joined(tilePixels(5, 1, 8), [] {
             std::vector<Pixel> free;
             for (int y = 0; y < 216; ++y) {
                 for (int x = 0; x < 6; ++x)
                     free.push_back({x, y, 2});
             }
             return free;
         }())},
        {"scroll preset up moves a tile up and fills the row that came free",
         [](CdgWriter &w) {
             w.solidTile(5, 7, 8);
             w.scroll(false, 2, 0, 0, 2, 0);
         },
         0, joined(tilePixels(4, 7, 8), [] {
             std::vector<Pixel> free;
             for (int y = 204; y < 216; ++y) {
                 for (int x = 0; x < 300; ++x)
                     free.push_back({x, y, 2});
             }
             return free;
         }())},
        {"scroll copy left brings the first column in at the right",
         [](CdgWriter &w) {
             w.solidTile(9, 0, 8);
             w.solidTile(9, 1, 5);
             w.scroll(true, 2, 2, 0, 0, 0);
         },
         0, joined(tilePixels(9, 49, 8), tilePixels(9, 0, 5))},
        {"scroll copy down brings the last row in at the top, both ways at once",
         [](CdgWriter &w) {
             w.solidTile(17, 49, 8);
             w.scroll(true, 2, 1, 0, 1, 0);
         },
         0, tilePixels(0, 0, 8)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        expectMemory(screenAfter(c.write), c.background, c.pixels);
    }
}

TEST(CdgDecoderTest, ScrollOffsetsShiftThePictureInsideTheBorderOnly)
{
    const struct
    {
        int hOffsetField;
        int vOffsetField;
        int hOffset;
        int vOffset;
    } cases[] = {
        {0, 0, 0, 0},
        {3, 7, 3, 7},
        {5, 11, 5, 11},
        {7, 15, 5, 11}, // beyond a tile: as far as a tile allows
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::to_string(c.hOffsetField) + "," + std::to_string(c.vOffsetField));
        const CdgScreen screen = screenAfter([&](CdgWriter &w) {
            w.borderPreset(4);
            w.tile(1, 1, 1, 2, [] {
                Rows rows{};
                rows[0] = 0b100000; // one pixel at (6, 12)
                return rows;
            }());
            w.solidTile(3, 3, 9);
            w.scroll(true, 0, 0, c.hOffsetField, 0, c.vOffsetField);
        });
        EXPECT_EQ(screen.horizontalOffset(), c.hOffset);
        EXPECT_EQ(screen.verticalOffset(), c.vOffset);
        // The memory itself does not move.
        EXPECT_EQ(screen.pixel(6, 12), 2);
        EXPECT_EQ(screen.shownPixel(6 + 12, 12 + 24), screen.pixel(6 + 12 + c.hOffset, 12 + 24 + c.vOffset));
        EXPECT_EQ(screen.shownPixel(6, 12), screen.pixel(6 + c.hOffset, 12 + c.vOffset));
        EXPECT_EQ(screen.shownPixel(18 - c.hOffset, 36 - c.vOffset), 9);
        EXPECT_EQ(screen.shownPixel(0, 100), 4);
        EXPECT_EQ(screen.shownPixel(299, 215), 4);
        EXPECT_EQ(screen.shownPixel(150, 11), 4);
        for (const int y : {0, 11, 12, 36, 203, 204, 215}) {
            std::uint8_t line[CdgScreen::kWidth];
            screen.shownLine(y, line);
            for (int x = 0; x < CdgScreen::kWidth; ++x)
                ASSERT_EQ(line[x], screen.shownPixel(x, y)) << x << "," << y << ": a line is seen as its pixels are";
        }
    }
}

TEST(CdgDecoderTest, ColourTablesTransparencyAndTheBorderColourAreKept)
{
    const CdgScreen screen = screenAfter([](CdgWriter &w) {
        w.colours(false, {0x000, 0xF00, 0x0F0, 0x00F, 0x0A5, 0x123, 0xFFF, 0x888});
        w.colours(true, {0x111, 0x222, 0x333, 0x444, 0x555, 0x666, 0x777, 0xF0F});
        w.transparent(0x1D);
    });
    const struct
    {
        int index;
        std::uint32_t rgb;
    } colours[] = {
        {0, 0x000000}, {1, 0xFF0000}, {2, 0x00FF00}, {3, 0x0000FF}, {4, 0x00AA55}, {5, 0x112233},
        {6, 0xFFFFFF}, {7, 0x888888}, {8, 0x111111}, {14, 0x777777}, {15, 0xFF00FF},
    };
    for (const auto &c : colours)
        EXPECT_EQ(screen.colour(c.index), c.rgb) << "entry " << c.index;
    EXPECT_EQ(screen.transparentColour(), 13);

    // The top two bits of each byte of an entry are not part of it.
    CdgWriter::Packet noisy = CdgWriter::packet(30, {});
    noisy[4] = 0xC0 | 0x3C; // red 15, green high bits 0
    noisy[5] = 0xC0 | 0x0F; // green low bits 0, blue 15
    CdgScreen masked;
    masked.apply(noisy.data());
    EXPECT_EQ(masked.colour(0), 0xFF00FFu);

    EXPECT_EQ(screenAfter([](CdgWriter &w) { w.memoryPreset(5); }).borderColour(), 5);
    EXPECT_EQ(screenAfter([](CdgWriter &w) {
                  w.memoryPreset(5);
                  w.borderPreset(11);
              }).borderColour(),
              11);
    EXPECT_EQ(CdgScreen().transparentColour(), -1);
}

TEST(CdgDecoderTest, AFrameShowsEveryPacketThatStartsByItsTime)
{
    // Colour 1 goes on at packet 24 (frame 2's time), colour 2 at packet 25, colour 3 at 600.
    CdgWriter writer;
    writer.moveTo(24);
    writer.memoryPreset(1);
    writer.memoryPreset(2);
    writer.moveTo(600);
    writer.memoryPreset(3);
    writer.moveTo(610);
    const QByteArray bytes = writer.bytes() + QByteArray(23, '\x09'); // a packet cut short at the end

    for (const std::size_t chunk : {std::size_t(1), std::size_t(7), std::size_t(24), std::size_t(100000)}) {
        SCOPED_TRACE(chunk);
        qsizetype at = 0;
        CdgPlayback playback([&](std::uint8_t *buffer, std::size_t size) {
            const std::size_t n = std::min({size, chunk, std::size_t(bytes.size() - at)});
            std::memcpy(buffer, bytes.constData() + at, n);
            at += qsizetype(n);
            return n;
        });
        const struct
        {
            std::int64_t frame;
            bool exists;
            int colour;
        } frames[] = {{0, true, 0}, {1, true, 0}, {2, true, 1}, {3, true, 2}, {49, true, 2}, {50, true, 3}, {51, false, 3}};
        for (const auto &f : frames) {
            EXPECT_EQ(playback.advanceToFrame(f.frame), f.exists) << "frame " << f.frame;
            EXPECT_EQ(playback.screen().pixel(100, 100), f.colour) << "frame " << f.frame;
        }
        EXPECT_EQ(playback.packetsApplied(), 610);
    }
    EXPECT_EQ(CdgPlayback::frameTime(2), 80'000'000);
    EXPECT_EQ(CdgPlayback::frameAt(80'000'000), 2);
    EXPECT_EQ(CdgPlayback::frameAt(80'000'001), 3);
    EXPECT_EQ(CdgPlayback::frameAt(-5), 0);
}

TEST(CdgDecoderTest, AnEmptyStreamHasNoPictures)
{
    CdgPlayback playback([](std::uint8_t *, std::size_t) { return std::size_t(0); });
    EXPECT_FALSE(playback.advanceToFrame(0));
}

TEST(CdgDecoderTest, AFrameTakesTheDisplaysShapeWithThePictureCentredOnTheBorderColour)
{
    const struct
    {
        int width;
        int height;
        bool fill;
        CdgFrameLayout layout;
    } cases[] = {
        {1920, 1080, false, {384, 216, 1, 42, 0}},
        {1920, 1080, true, {1920, 1080, 5, 210, 0}},
        {1280, 720, true, {1280, 720, 3, 190, 36}},
        {1024, 768, false, {300, 226, 1, 0, 5}},
        {300, 216, false, {300, 216, 1, 0, 0}},
        {299, 1000, true, {300, 216, 1, 0, 0}}, // smaller than the picture: the picture alone
        {0, 0, false, {300, 216, 1, 0, 0}},
        {1921, 1081, true, {1922, 1082, 5, 211, 1}}, // sizes stay even
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + (c.fill ? " filled" : ""));
        const CdgFrameLayout layout = CdgFrameLayout::forDisplay(c.width, c.height, c.fill);
        EXPECT_EQ(layout.width, c.layout.width);
        EXPECT_EQ(layout.height, c.layout.height);
        EXPECT_EQ(layout.scale, c.layout.scale);
        EXPECT_EQ(layout.left, c.layout.left);
        EXPECT_EQ(layout.top, c.layout.top);
    }

    const CdgScreen screen = screenAfter([](CdgWriter &w) {
        w.colours(false, {0x000, 0xF00, 0x0F0, 0x00F, 0, 0, 0, 0});
        w.memoryPreset(1);
        w.borderPreset(2);
        w.solidTile(1, 1, 3);
    });
    for (const bool fill : {false, true}) {
        const CdgFrameLayout layout = CdgFrameLayout::forDisplay(1280, 720, fill);
        std::vector<std::uint8_t> frame(layout.bytes(), 0x77);
        drawCdgFrame(screen, layout, frame.data());
        const auto at = [&](int x, int y) {
            const std::uint8_t *p = &frame[std::size_t(y) * layout.stride() + std::size_t(x) * 4];
            return std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];
        };
        const int s = layout.scale;
        SCOPED_TRACE(fill ? "filled" : "own size");
        EXPECT_EQ(at(0, 0), 0x00FF00u) << "the margin is the border colour";
        EXPECT_EQ(at(layout.width - 1, layout.height - 1), 0x00FF00u);
        EXPECT_EQ(at(layout.left + 3 * s, layout.top + 6 * s), 0x00FF00u) << "the border";
        EXPECT_EQ(at(layout.left + 6 * s, layout.top + 12 * s), 0x0000FFu) << "the tile's first pixel";
        EXPECT_EQ(at(layout.left + 12 * s - 1, layout.top + 24 * s - 1), 0x0000FFu) << "the tile's last pixel";
        EXPECT_EQ(at(layout.left + 12 * s, layout.top + 24 * s), 0xFF0000u) << "past the tile";
        EXPECT_EQ(frame[3], 0xFF);
        // Every pixel: the screen's colour inside the picture, the border colour around it.
        int wrong = 0;
        for (int y = 0; y < layout.height; ++y) {
            for (int x = 0; x < layout.width; ++x) {
                const int px = (x - layout.left) / s;
                const int py = (y - layout.top) / s;
                const bool inside = x >= layout.left && y >= layout.top && px < CdgScreen::kWidth && py < CdgScreen::kHeight;
                wrong += at(x, y) != (inside ? screen.colour(screen.shownPixel(px, py)) : 0x00FF00u);
            }
        }
        EXPECT_EQ(wrong, 0);
    }
}
