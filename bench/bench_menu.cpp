// Times a guest's key press in the menu from the key to the finished redraw of a result page
// (look-up, drawing and painting), on the catalogue of 100 000 songs. Prints the median and
// the worst of 200 presses for each kind of press.
#include "catalogue_generator.h"
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
#include <QElapsedTimer>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

void type(MainMenu &menu, const QString &keys)
{
    for (QChar c : keys) {
        int code = c == QLatin1Char('\r') ? 13 : int(c.unicode());
        menu.Picture1_KeyPress(code);
    }
}

// One press, timed until the surface has painted what it drew.
double timedPress(MainMenu &menu, const QString &key)
{
    QElapsedTimer timer;
    timer.start();
    type(menu, key);
    (void)menu.Picture1->grab(); // paints the surface as the screen would
    return timer.nsecsElapsed() / 1e6;
}

void report(const char *what, std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    std::printf("%-44s median %7.2f ms   worst %7.2f ms   (%zu presses)\n", what, ms[ms.size() / 2], ms.back(),
                ms.size());
}

} // namespace

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

    std::vector<double> search, pageTurn, singers, queueOrder;
    for (int i = 0; i < 200; ++i) {
        type(menu, QStringLiteral("1%1").arg(i % 8));
        search.push_back(timedPress(menu, QString::number(1 + i % 12) + QLatin1Char('\r')));
        pageTurn.push_back(timedPress(menu, QStringLiteral("+")));
        type(menu, QStringLiteral("0\r9"));
    }
    for (int i = 0; i < 200; ++i) {
        type(menu, QStringLiteral("2"));
        singers.push_back(timedPress(menu, QString::number(1 + i % 3)));
        type(menu, QStringLiteral("0\r9"));
    }
    type(menu, QStringLiteral("3"));
    for (int i = 0; i < 200; ++i)
        queueOrder.push_back(timedPress(menu, QStringLiteral("%1%2001\r").arg(i % 8).arg(1 + i % 9, 2, 10, QLatin1Char('0'))));

    std::printf("key press to finished redraw, 1280x720, 100 000 songs, 10 000 singers\n");
    report("count search (kind, count, Enter)", search);
    report("next page of the result list (+)", pageTurn);
    report("singer group (load + first singer page)", singers);
    report("order by number (Enter, queue page)", queueOrder);
    std::printf("target: median under 16 ms, worst under 50 ms\n");
    return 0;
}
