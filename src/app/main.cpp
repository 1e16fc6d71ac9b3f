#include "app/command_line.h"
#include "platform/command_shutdown.h"
#include "platform/gst/gst_mci_device.h"
#include "platform/gst/gst_media_player_factory.h"
#include "core/init_system.h"
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
    SystemClock clock(options.clockSpeed());
    QtMessageBoxes messageBoxes;
    QtFileDialogs fileDialogs;
    QtMousePointer mousePointer;
    CommandShutdown shutdown;
    GstMediaPlayerFactory mediaPlayers;
    GstMciDevice mci;
    Services services{fileSystem, clock, messageBoxes, fileDialogs, mousePointer, shutdown, mediaPlayers, mci};

    SharedState state;
    QString problem;
    if (!startUp(state, fileSystem, clock, options.home(QCoreApplication::applicationDirPath()), &problem)) {
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
    StartForm start(screen, clock, [&] { menu.showFullScreen(); });
    QTimer::singleShot(0, &start, &StartForm::run);
    return QApplication::exec();
}

int startUpOnly(const CommandLine &options)
{
    QtFileSystem fileSystem;
    SystemClock clock(options.clockSpeed());
    SharedState state;
    QString problem;
    if (!startUp(state, fileSystem, clock, options.home(QCoreApplication::applicationDirPath()), &problem))
        return 1;
    QTextStream(stdout) << "karaoke: started up in " << state.AppPath << " (catalogue " << state.DbPath
                        << "), --init-only given, exiting" << Qt::endl;
    return 0;
}

// What each task of the command line runs once its application object exists; the jukebox
// is the task without an option. An owner's task adds its row here and its option in
// command_line.cpp.
struct Task
{
    QString option;
    int (*run)(const CommandLine &);
};

const Task kTasks[] = {
    {QString(), runJukebox},
    {QStringLiteral("--init-only"), startUpOnly},
};

std::unique_ptr<QCoreApplication> makeApplication(AppKind kind, int &argc, char **argv)
{
    switch (kind) {
    case AppKind::Core:
        return std::make_unique<QCoreApplication>(argc, argv);
    case AppKind::OffscreenGui:
        qputenv("QT_QPA_PLATFORM", "offscreen"); // fonts and painting, never a display
        return std::make_unique<QGuiApplication>(argc, argv);
    case AppKind::Widgets:
        break;
    }
    return std::make_unique<QApplication>(argc, argv);
}

int runTask(const CommandLine &options)
{
    for (const Task &task : kTasks) {
        if (task.option == options.task)
            return task.run(options);
    }
    QTextStream(stderr) << "karaoke: " << options.task << " has no task to run" << Qt::endl;
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    // The command line is read before any application object, so that --help and a wrong
    // option answer where there is no display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const CommandLine options = parseCommandLine(arguments);
    if (options.help) {
        QTextStream(stdout) << commandLineUsage();
        return 0;
    }
    if (!options.error.isEmpty()) {
        QTextStream(stderr) << "karaoke: " << options.error << Qt::endl << commandLineUsage();
        return 2;
    }
    const std::unique_ptr<QCoreApplication> app = makeApplication(options.app(), argc, argv);
    return runTask(options);
}
