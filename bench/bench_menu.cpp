// Times a guest's key press in the menu from the key to the finished redraw of a result page
// (look-up, drawing and painting), on the catalogue of 100 000 songs. Prints the median and
// the worst of 200 presses for each kind of press.
#include "catalogue_generator.h"
#include "menu_presses.h"
#include "silent_services.h"
#include "widgets/drawing_surface.h"
#include "core/init_system.h"
#include "menu/main_menu.h"
#include "platform/media_player.h"
#include "platform/mci_device.h"
#include "platform/message_boxes.h"
#include "platform/file_dialogs.h"
#include "platform/mouse_pointer.h"
#include "platform/screen_fonts.h"
#include "core/shared_state.h"
#include "platform/shutdown.h"

#include <QApplication>
#include <QDir>

#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    installScreenFonts();
    const QString home = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::tempPath() + QStringLiteral("/karaoke-bench");
    generateCatalogue(home, 100000, 10000);

    SilentServices quiet;
    SharedState state;
    if (!InitSystem(state, quiet.fs, quiet.clock, home).ok)
        return 1;
    MainMenu menu(state, quiet.services, QSize(1280, 720));
    menu.show();
    menu.Form_Activate();

    MenuPresses presses;
    for (int i = 0; i < 200; ++i)
        presses.round(menu, i);

    std::printf("key press to finished redraw, 1280x720, 100 000 songs, 10 000 singers\n");
    presses.report();
    std::printf("target: median under 16 ms, worst under 50 ms\n");
    return 0;
}
