#include "app/command_line.h"
#include "bulk/batch_registe.h"
#include "bulk/command_line_runs.h"
#include "bulk/reg_by_filename.h"
#include "platform/command_shutdown.h"
#include "platform/gst/gst_mci_device.h"
#include "platform/gst/gst_media_player_factory.h"
#include "core/database_error.h"
#include "core/init_system.h"
#include "manage/catalogue_statistics.h"
#include "manage/manager_menu.h"
#include "menu/main_menu.h"
#include "widgets/modal_runner.h"
#include "playback/player.h"
#include "platform/qt_file_dialogs.h"
#include "platform/qt_file_system.h"
#include "platform/qt_message_boxes.h"
#include "platform/qt_mouse_pointer.h"
#include "core/screen_fonts.h"
#include "platform/services.h"
#include "core/shared_state.h"
#include "menu/start_form.h"
#include "platform/system_clock.h"
#include "playback/wav_file_open.h"

#include <QApplication>
#include <QScreen>
#include <QTextStream>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

// Runs the start-up and tells on standard error what went wrong; false when the program cannot run.
bool startUp(SharedState &state, FileSystem &fileSystem, Clock &clock, const QString &home, QString *problem)
{
    const InitResult init = InitSystem(state, fileSystem, clock, home);
    QTextStream err(stderr);
    for (const QString &notice : init.notices)
        err << notice << Qt::endl;
    if (!init.ok)
        err << init.problem << Qt::endl;
    *problem = init.problem;
    return init.ok;
}

int runJukebox(const CommandLine &options)
{
    installScreenFonts();
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
    QString problem;
    if (!startUp(state, fileSystem, clock, options.home, &problem)) {
        messageBoxes.ok(problem);
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
    menu.openManager = [&] {
        ManagerMenu manager(state, services, screen, &menu);
        manager.endProgram = [&] {
            menu.wmpMain->stop();
            menu.wmpMain->close();
            QApplication::exit(0);
        };
        manager.openRegistrationByFileName = [&] {
            RegByFilename window(state, services, screen, &manager);
            ModalRunner::exec(window);
        };
        manager.openBatchRegistration = [&] {
            BatchRegiste window(state, services, screen, &manager);
            ModalRunner::exec(window);
        };
        ModalRunner::exec(manager);
    };
    StartForm start(screen, clock, [&] { menu.showFullScreen(); });
    QTimer::singleShot(0, &start, &StartForm::run);
    return QApplication::exec();
}

// Starts up without a window and runs task on the shared state; the exit code of the program.
int withoutWindow(const CommandLine &options, const std::function<int(SharedState &)> &task)
{
    QtFileSystem fileSystem;
    SystemClock clock(options.clockSpeed);
    SharedState state;
    QString problem;
    if (!startUp(state, fileSystem, clock, options.home, &problem))
        return 1;
    try {
        return task(state);
    } catch (const DatabaseError &e) {
        QTextStream(stderr) << e.message() << Qt::endl;
        return 1;
    }
}

int startUpOnly(SharedState &state)
{
    QTextStream(stdout) << "karaoke: started up in " << state.AppPath << " (catalogue " << state.DbPath
                        << "), --init-only given, exiting" << Qt::endl;
    return 0;
}

// The seven lines of the statistics window, on standard output.
int printStatistics(SharedState &state)
{
    QTextStream out(stdout);
    for (const QString &line : catalogueStatusLines(state.db()))
        out << line << Qt::endl;
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    // Starting up alone and the tasks without a window need no display; only the windows do.
    CommandLine options = parseCommandLine(arguments, QString());
    const std::unique_ptr<QCoreApplication> app(needsNoWindow(options) ? new QCoreApplication(argc, argv)
                                                                       : new QApplication(argc, argv));
    if (options.home.isEmpty())
        options.home = QCoreApplication::applicationDirPath();
    if (!options.error.isEmpty()) {
        QTextStream(stderr) << options.error << Qt::endl;
        return 2;
    }
    if (options.statistics)
        return withoutWindow(options, printStatistics);
    // The owner's registration tasks: the windows' own work, printed instead of shown.
    if (!options.registerFolder.isEmpty()) {
        return withoutWindow(options, [&](SharedState &state) {
            QTextStream out(stdout);
            return registerFolderWithoutWindow(state, *state.Fso, *state.clock, options.registerFolder, out);
        });
    }
    if (!options.registerList.isEmpty()) {
        return withoutWindow(options, [&](SharedState &state) {
            QTextStream out(stdout);
            return registerListWithoutWindow(state, *state.Fso, *state.clock, options.registerList, out);
        });
    }
    return options.initOnly ? withoutWindow(options, startUpOnly) : runJukebox(options);
}
