#include "platform/screen_fonts.h"

#include <QApplication>

#include <gtest/gtest.h>

// The main() of every test program that opens windows or plays media: the screen fonts as the
// program installs them, then the tests.
int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    installScreenFonts();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
