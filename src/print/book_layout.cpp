#include "print/book_layout.h"

#include "platform/printer.h"

#include <cmath>

using namespace BookLayout;

namespace {

constexpr double kTableLeft = 1.3 * kCm;
constexpr double kTableRight = 19.3 * kCm;
constexpr double kBar = 0.05 * kCm;
constexpr double kBarsX[] = {1.30 * kCm, 19.30 * kCm, 12.10 * kCm, 15.70 * kCm};
constexpr double kGap = 0.1 * kCm; // kept free before the next bar
constexpr double kTwipsPerPoint = 20;

} // namespace

void paint_table(Printer &target)
{
    for (int i = 1; i <= kLastRow; ++i) {
        target.fillBox(kTableLeft, ruleY(i), kTableRight, ruleY(i) + kBar);
        for (double x : kBarsX)
            target.fillBox(x, ruleY(i), x + kBar, ruleY(i + 1));
    }
    target.fillBox(kTableLeft, ruleY(kLastRow + 1), kTableRight, ruleY(kLastRow + 1) + kBar);
}

void print_data(Printer &target, int row, const QString &text1, const QString &text2, const QString &text3)
{
    const double y = textY(row);
    printFitted(target, kTitleX, y, text1, kBarsX[2] - kGap);
    printFitted(target, kNumberX, y, text2, kBarsX[3] - kGap);
    printFitted(target, kSingerX, y, text3, kBarsX[1] - kGap);
}

void printFitted(Printer &target, double x, double y, const QString &text, double right)
{
    const double width = target.textWidth(text);
    const double room = right - x;
    target.setCurrentX(x);
    if (width <= room) {
        target.setCurrentY(y);
        target.print(text);
        return;
    }
    const double size = target.fontSize();
    const double smaller = std::floor(size * room / width); // printers take whole points
    target.setFontSize(smaller);
    target.setCurrentY(y + (size - smaller) * kTwipsPerPoint / 2);
    target.print(text);
    target.setFontSize(size);
}
