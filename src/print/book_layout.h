#pragma once

#include <QString>

class Printer;

// Where the song book's table, texts and headings lie on the sheet, in twips.
namespace BookLayout {

constexpr double kCm = 567;
constexpr int kHeaderRow = 1;
constexpr int kLastRow = 22; // row 1 the header, rows 2 ... 22 the songs
constexpr double kTitleX = 1.6 * kCm;
constexpr double kNumberX = 12.4 * kCm;
constexpr double kSingerX = 16.0 * kCm;
constexpr double kSectionTitleX = 1.5 * kCm;
constexpr double kPageLabelX = 15 * kCm;
constexpr double kHeadingY = 1 * kCm;
constexpr double kFontSize = 24;

// Top of rule i (1 ... 23); row r lies between rules r and r + 1.
constexpr double ruleY(int i) { return (1.15 * i + 1) * kCm; }
constexpr double textY(int row) { return (row * 1.15 + 1 + 0.15) * kCm; }

} // namespace BookLayout

// The ruled table of one page: 22 rows, three columns.
void paint_table(Printer &target);
// The three texts of table row `row`: title, number and singer, each kept inside its cell.
void print_data(Printer &target, int row, const QString &text1, const QString &text2, const QString &text3);
// Prints text at (x, y) in the current font; text wider than the room up to right is printed
// in a smaller size that fits, centred on the line it would have taken.
void printFitted(Printer &target, double x, double y, const QString &text, double right);
