// Shows the player window on a program folder (the demo home) as it stands in the pause after a
// scored song, the score card over the background picture, and saves a picture of it, for
// looking at under Xvfb.
//   score_card_screenshot HOME OUTFILE.png        (screen size: the display's)
#include "core/init_system.h"
#include "core/shared_state.h"
#include "platform/screen_fonts.h"
#include "playback/playback_session.h"
#include "playback/player.h"
#include "support/fake_services.h"

#include <QApplication>
#include <QScreen>
#include <QTextStream>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    installScreenFonts();
    if (argc < 3) {
        QTextStream(stderr) << "usage: score_card_screenshot HOME OUTFILE.png" << Qt::endl;
        return 2;
    }
    FakeServices fakes;
    SharedState state;
    if (!InitSystem(state, fakes.fileSystem, fakes.clock, QString::fromLocal8Bit(argv[1])).ok)
        return 1;
    const QSize screen = QGuiApplication::primaryScreen()->size();
    PlaybackSession session(state, fakes.services);
    Player player(session, state, fakes.services, screen, nullptr);
    player.show();
    emit session.scoreShown(87);
    QApplication::processEvents();
    player.grab().save(QString::fromLocal8Bit(argv[2]));
    QTextStream(stdout) << argv[2] << Qt::endl;
    return 0;
}
