#include "command_line.h"
#include "command_shutdown.h"
#include "gst_mci_device.h"
#include "gst_media_player_factory.h"
#include "init_system.h"
#include "main_menu.h"
#include "modal_runner.h"
#include "player.h"
#include "qt_file_dialogs.h"
#include "qt_file_system.h"
#include "qt_message_boxes.h"
#include "qt_mouse_pointer.h"
#include "screen_fonts.h"
#include "services.h"
#include "shared_state.h"
#include "start_form.h"
#include "system_clock.h"
#include "wav_file_open.h"

#include <QApplication>
#include <QScreen>
#include <QTextStream>
#include <QTimer>

#include <memory>

namespace {

int startUpOnly(const CommandLine &options)
{
    QtFileSystem fileSystem;
    SystemClock clock(options.clockSpeed);
    SharedState state;
    const InitResult init = InitSystem(state, fileSystem, clock, options.home);
    QTextStream err(stderr);
    for (const QString &notice : init.notices)
        err << notice << Qt::endl;
    if (!init.ok) {
        err << init.problem << Qt::endl;
        return 1;
    }
    QTextStream(stdout) << "karaoke: started up in " << state.AppPath << " (catalogue " << state.DbPath
                        << "), --init-only given, exiting" << Qt::endl;
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const bool initOnly = arguments.contains(QStringLiteral("--init-only"));
    if (initOnly) {
        // Starting up needs no display.
        QCoreApplication app(argc, argv);
        const CommandLine options = parseCommandLine(arguments, QCoreApplication::applicationDirPath());
        if (!options.error.isEmpty()) {
            QTextStream(stderr) << options.error << Qt::endl;
            return 2;
        }
        return startUpOnly(options);
    }

    QApplication app(argc, argv);
    installScreenFonts();
    const CommandLine options = parseCommandLine(arguments, QApplication::applicationDirPath());
    if (!options.error.isEmpty()) {
        QTextStream(stderr) << options.error << Qt::endl;
        return 2;
    }

    QtFileSystem fileSystem;
    SystemClock clock(options.clockSpeed);
    QtMessageBoxes messageBoxes;
    QtFileDialogs fileDialogs;
    QtMousePointer mousePointer;
    CommandShutdown shutdown;
    GstMediaPlayerFactory mediaPlayers;
    GstMciDevice mci;
    Services services{fileSystem, clock, messageBoxes, fileDialogs, mousePointer, shutdown, mediaPlayers, mci};

    SharedState state;
    const InitResult init = InitSystem(state, fileSystem, clock, options.home);
    for (const QString &notice : init.notices)
        QTextStream(stderr) << notice << Qt::endl;
    if (!init.ok) {
        QTextStream(stderr) << init.problem << Qt::endl;
        messageBoxes.ok(init.problem);
        return 1;
    }
    WavFileOpen recorder(mci);
    state.Recorder = &recorder;

    const QSize screen = QGuiApplication::primaryScreen()->size();
    MainMenu menu(state, services, screen);
    menu.openPlayer = [&] {
        Player player(state, services, screen, menu.Timer1, &menu);
        ModalRunner::exec(player);
    };
    StartForm start(screen, clock, [&] { menu.showFullScreen(); });
    QTimer::singleShot(0, &start, &StartForm::run);
    return app.exec();
}
