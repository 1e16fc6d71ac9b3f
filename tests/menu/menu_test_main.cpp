#include "platform/screen_fonts.h"
#include "support/process_watch.h"

#include <QApplication>

#include <gtest/gtest.h>

// The main() of every test program that opens windows or plays media: the screen fonts as the
// program installs them, then the tests. A label that read a guest's name as markup could load
// a picture from /dev/zero without end: the program stops at a limit instead of the machine.
int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    ProcessWatch::limitOwnMemory(qint64(4) << 30);
    installScreenFonts();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
