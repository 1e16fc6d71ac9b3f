#pragma once

#include <QByteArray>

#include <array>
#include <cstdint>
#include <initializer_list>

// Writes CD+G packets for tests, each instruction laid out as the format has it: 24 bytes of
// command 0x09, instruction, two parity bytes, 16 data bytes, four parity bytes. Packets go
// at the index moveTo() names (packet n plays at n / 300 s); the gap before it is filled with
// packets that are not graphics.
class CdgWriter
{
public:
    using Packet = std::array<std::uint8_t, 24>;
    using TileRows = std::array<std::uint8_t, 12>;

    static Packet packet(int instruction, std::initializer_list<int> data, int command = 0x09)
    {
        Packet p{};
        p[0] = std::uint8_t(command);
        p[1] = std::uint8_t(instruction);
        // Parity bytes hold noise in real files; the decoder must not read them.
        p[2] = p[3] = 0xA5;
        p[20] = p[21] = p[22] = p[23] = 0x5A;
        int i = 4;
        for (int byte : data)
            p[std::size_t(i++)] = std::uint8_t(byte);
        return p;
    }

    // A palette entry from a 12-bit colour 0xRGB, as its two 6-bit halves.
    static std::array<int, 2> colourBytes(int rgb12)
    {
        const int red = (rgb12 >> 8) & 0xF;
        const int green = (rgb12 >> 4) & 0xF;
        const int blue = rgb12 & 0xF;
        return {red << 2 | green >> 2, (green & 0x3) << 4 | blue};
    }

    void moveTo(int packetIndex)
    {
        while (count() < packetIndex)
            add(packet(0, {}, 0));
    }
    int count() const { return int(m_bytes.size() / 24); }

    void add(const Packet &p) { m_bytes.append(reinterpret_cast<const char *>(p.data()), qsizetype(p.size())); }

    void memoryPreset(int colour, int repeat = 0) { add(packet(1, {colour, repeat})); }
    void borderPreset(int colour) { add(packet(2, {colour})); }
    void tile(int row, int column, int colour0, int colour1, const TileRows &rows, bool exclusiveOr = false)
    {
        Packet p = packet(exclusiveOr ? 38 : 6, {colour0, colour1, row, column});
        for (std::size_t i = 0; i < rows.size(); ++i)
            p[8 + i] = rows[i];
        add(p);
    }
    // A tile of one colour.
    void solidTile(int row, int column, int colour) { tile(row, column, 0, colour, filledRows()); }
    // hCommand 1 right, 2 left; vCommand 1 down, 2 up; the offsets as the fields carry them.
    void scroll(bool copy, int colour, int hCommand, int hOffset, int vCommand, int vOffset)
    {
        add(packet(copy ? 24 : 20, {colour, hCommand << 4 | hOffset, vCommand << 4 | vOffset}));
    }
    void transparent(int colour) { add(packet(28, {colour})); }
    // Eight 12-bit colours 0xRGB for entries 0-7 (low) or 8-15 (high).
    void colours(bool high, const std::array<int, 8> &rgb12)
    {
        Packet p = packet(high ? 31 : 30, {});
        for (std::size_t i = 0; i < rgb12.size(); ++i) {
            const std::array<int, 2> bytes = colourBytes(rgb12[i]);
            p[4 + 2 * i] = std::uint8_t(bytes[0]);
            p[5 + 2 * i] = std::uint8_t(bytes[1]);
        }
        add(p);
    }

    static TileRows filledRows()
    {
        TileRows rows;
        rows.fill(0x3F);
        return rows;
    }

    const QByteArray &bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};
