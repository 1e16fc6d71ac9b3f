// Writes the CD+G pictures of a demo MP3+G song for scripts/screenshots.sh: two lines of words
// in large letters on a blue page inside a dark border, the second line coloured in word by word
// as it would be sung.
//   cdg_demo_song OUT.cdg SECONDS
#include "support/cdg_writer.h"

#include <QFile>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

namespace {

// Five columns by seven rows a letter, the top row first, the highest of five bits on the left.
const std::map<char, std::array<int, 7>> kFont = {
    {'A', {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}}, {'E', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}},
    {'G', {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F}}, {'K', {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11}},
    {'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}}, {'M', {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}},
    {'O', {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}}, {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
    {'R', {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11}}, {'3', {0x1E, 0x01, 0x01, 0x0E, 0x01, 0x01, 0x1E}},
    {'+', {0x00, 0x04, 0x04, 0x1F, 0x04, 0x04, 0x00}}, {' ', {0, 0, 0, 0, 0, 0, 0}},
};

enum Colour { Border, Page, Words, Sung };

// A letter twice its size over four tiles (two columns, two rows): pixel (x, y) of the letter
// covers two by two pixels, starting two pixels in and five down.
void letter(CdgWriter &w, char c, int row, int column, int background, int ink)
{
    const auto glyph = kFont.count(c) ? kFont.at(c) : kFont.at(' ');
    for (int tileRow = 0; tileRow < 2; ++tileRow) {
        for (int tileColumn = 0; tileColumn < 2; ++tileColumn) {
            CdgWriter::TileRows rows{};
            for (int line = 0; line < 12; ++line) {
                const int y = (tileRow * 12 + line - 5) / 2;
                if (tileRow * 12 + line < 5 || y >= 7)
                    continue;
                for (int bit = 0; bit < 6; ++bit) {
                    const int x = (tileColumn * 6 + bit - 1) / 2;
                    if (tileColumn * 6 + bit >= 1 && x < 5 && (glyph[std::size_t(y)] >> (4 - x) & 1))
                        rows[std::size_t(line)] |= std::uint8_t(0x20 >> bit);
                }
            }
            w.tile(row + tileRow, column + tileColumn, background, ink, rows);
        }
    }
}

void line(CdgWriter &w, const std::string &text, int row, int ink)
{
    const int first = (50 - 2 * int(text.size())) / 2;
    for (std::size_t i = 0; i < text.size(); ++i)
        letter(w, text[i], row, first + 2 * int(i), Page, ink);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s OUT.cdg SECONDS\n", argv[0]);
        return 2;
    }
    const int seconds = std::atoi(argv[2]);
    CdgWriter w;
    w.colours(false, {0x013, 0x24B, 0xFFF, 0xFD2, 0, 0, 0, 0});
    w.memoryPreset(Page);
    w.borderPreset(Border);
    const std::string title = "MP3+G KARAOKE";
    const std::string words = "LA LA LA LA";
    line(w, title, 4, Words);
    line(w, words, 10, Words);
    // The second line is coloured in letter by letter over the song's first half.
    const int first = (50 - 2 * int(words.size())) / 2;
    for (std::size_t i = 0; i < words.size(); ++i) {
        w.moveTo(int(150 * seconds * i / words.size()));
        letter(w, words[i], 10, first + 2 * int(i), Page, Sung);
    }
    w.moveTo(300 * seconds);
    QFile out(QString::fromLocal8Bit(argv[1]));
    if (!out.open(QIODevice::WriteOnly) || out.write(w.bytes()) != w.bytes().size()) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
