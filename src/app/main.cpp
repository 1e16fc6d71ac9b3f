#include "app/autostart.h"
#include "app/background_measuring.h"
#include "app/catalogue_choice.h"
#include "app/command_line.h"
#include "app/idle_watch.h"
#include "app/live_scoring.h"
#include "app/loudness_tasks.h"
#include "app/program_folder.h"
#include "app/server_wait_dialog.h"
#include "bulk/batch_registe.h"
#include "bulk/command_line_runs.h"
#include "bulk/reg_by_filename.h"
#include "app/print_tasks.h"
#include "platform/command_shutdown.h"
#include "platform/gst/gst_loudness_meter.h"
#include "platform/gst/gst_mci_device.h"
#include "platform/gst/gst_media_player_factory.h"
#include "core/catalogue_file.h"
#include "core/catalogue_upkeep.h"
#include "core/database_error.h"
#include "core/history_options.h"
#include "core/history_writer.h"
#include "core/init_system.h"
#include "core/queue_store.h"
#include "core/queue_writer.h"
#include "catalogue/catalogue_statistics.h"
#include "catalogue/song_loudness.h"
#include "manage/manager_menu.h"
#include "menu/main_menu.h"
#include "platform/modal_runner.h"
#include "platform/open_files.h"
#include "playback/playback_session.h"
#include "overlays/ordering_windows.h"
#include "phone/phone_desk.h"
#include "phone/phone_ordering.h"
#include "playback/play_recorder.h"
#include "playback/player.h"
#include "platform/qt_file_dialogs.h"
#include "platform/qt_file_system.h"
#include "platform/qt_message_boxes.h"
#include "platform/qt_mouse_pointer.h"
#include "platform/qt_printer.h"
#include "platform/qt_translations.h"
#include "platform/screen_fonts.h"
#include "platform/services.h"
#include "core/settings_file.h"
#include "core/shared_state.h"
#include "menu/start_form.h"
#include "platform/system_clock.h"
#include "platform/xlsx_spreadsheet.h"
#include "playback/wav_file_open.h"
#include "print/new_songs.h"
#include "print/song_book.h"
#include "widgets/foot_notices.h"
#include "widgets/notice_strip.h"
#include "venue/catalogue_transfer.h"
#include "venue/venue_room.h"

#include <QApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QLineEdit>
#include <QScreen>
#include <QTextStream>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

// The jukebox measures loudness after this long without a key, a click or anything playing
// (shortened by --clock-speed like every other wait).
constexpr int kIdleBeforeMeasuringMs = 20000;

ProgramFolder programFolder(const CommandLine &options)
{
    return chooseProgramFolder(options.homeOption(), executableFolder(), UserFolders::fromEnvironment());
}

// Runs the start-up in the program folder (made on the user's first start) and tells on
// standard error what went wrong; false when the program cannot run.
bool startUp(SharedState &state, FileSystem &fileSystem, Clock &clock, const CommandLine &options, QString *problem)
{
    QTextStream err(stderr);
    const ProgramFolder folder = programFolder(options);
    *problem = prepareProgramFolder(folder);
    if (!problem->isEmpty()) {
        err << *problem << Qt::endl;
        return false;
    }
    const InitResult init = InitSystem(state, fileSystem, clock, folder.path);
    for (const QString &notice : init.notices)
        err << notice << Qt::endl;
    if (!init.ok)
        err << init.problem << Qt::endl;
    *problem = init.problem;
    return init.ok;
}

// The queue as it was when the program last stopped without a clean exit (a crash, a power
// cut), and the rows its table holds now; nullopt when the table could not be read.
std::optional<std::vector<QueueRow>> restoreQueue(SharedState &state)
{
    std::optional<QueueStore::Kept> kept = QueueStore::loadRetrying(state.db());
    if (!kept) {
        QTextStream(stderr) << "點歌單無法從資料庫讀回, 從空的點歌單開始" << Qt::endl;
        // Numbered past any id the unread table may hold, so a phone never names another song.
        state.OrderedSongs.restore({}, QDateTime::currentMSecsSinceEpoch());
        return std::nullopt;
    }
    state.OrderedSongs.restore(kept->rows, kept->lastId);
    return std::move(kept->rows);
}

// The play history's optional lines of Setting.ini; a line that cannot be used says so.
HistoryOptions historyOptions(FileSystem &fs, const QString &appPath)
{
    QString problem;
    const QString text = SettingsFile::complete(fs, appPath + QStringLiteral("Setting.ini"), &problem);
    QString notice;
    const HistoryOptions options = HistoryOptions::fromSettingsText(text, &notice);
    if (!notice.isEmpty())
        QTextStream(stderr) << notice << Qt::endl;
    return options;
}

qint64 secondsNow()
{
    return QDateTime::currentSecsSinceEpoch();
}

// Phone ordering's address and notices on the screens the guests see.
void showPhoneOrdering(PhoneOrdering &phone, MainMenu &menu, StartForm &start, NoticeStrip &notices)
{
    if (!phone.config().enabled)
        return;
    auto showAddress = [&phone, &menu, &start] {
        menu.setPhoneAddress(phone.url(), phone.problem());
        start.setPhoneAddress(phone.url(), phone.problem());
    };
    QObject::connect(&phone, &PhoneOrdering::urlChanged, &menu, showAddress);
    QObject::connect(&phone, &PhoneOrdering::failed, &menu, showAddress);
    QObject::connect(&phone.desk(), &PhoneDesk::guestOrdered, &notices, [&notices](const QString &name, const QString &title) {
        notices.notify(QStringLiteral("%1 點了 %2").arg(name, title));
    });
    showAddress();
}

// While the queue plays full screen, the phones' owner buttons reach the song playing.
void lendPlayerToPhones(PhoneDesk &desk, PlaybackSession &session)
{
    desk.setPlayer(session.forPhones());
    for (auto signal : {&PlaybackSession::songStarted, &PlaybackSession::queueAdvanced, &PlaybackSession::closed})
        QObject::connect(&session, signal, &desk, &PhoneDesk::playerChanged);
    QObject::connect(&session, &PlaybackSession::pausedChanged, &desk, &PhoneDesk::playerChanged);
}

int runJukebox(const CommandLine &options)
{
    OpenFiles::raiseLimit();
    installScreenFonts();
    QtFileSystem fileSystem;
    SystemClock clock(options.clockSpeed());
    QtMessageBoxes messageBoxes;
    QtFileDialogs fileDialogs;
    QtMousePointer mousePointer;
    CommandShutdown shutdown;
    GstMediaPlayerFactory realPlayers;
    IdleWatch mediaPlayers(realPlayers, int(kIdleBeforeMeasuringMs / options.clockSpeed()));
    GstMciDevice mci;
    SharedState state;
    QtPrinter printer(QtPrinter::defaultPrinterName(), messageBoxes, fileDialogs, [&state] { return state.AppPath; });
    XlsxSpreadsheetFactory spreadsheets;
    Services services{fileSystem, clock, messageBoxes, fileDialogs, mousePointer, shutdown, mediaPlayers, mci,
                      printer, spreadsheets};

    QString problem;
    if (!startUp(state, fileSystem, clock, options, &problem)) {
        messageBoxes.ok(problem);
        return 1;
    }
    WavFileOpen recorder(mci);
    state.Recorder = &recorder;
    QueueWriter queueWriter(state.DbPath, restoreQueue(state));
    // Songs and singers other programs write meanwhile take their places in the lists.
    const CatalogueUpkeep upkeep(state.DbPath);
    const auto keepQueue = state.OrderedSongs.subscribe([&] { queueWriter.save(state.OrderedSongs); });
    const HistoryOptions history = historyOptions(fileSystem, state.AppPath);
    HistoryWriter historyWriter(state.DbPath, history.keepDays);
    PhoneOrdering phone(state, PhoneConfig::of(state), &queueWriter);
    if (history.fairTurns)
        phone.desk().takeTurns(secondsNow);
    // A venue's room: every change goes to the server, the copy follows it (below).
    const CatalogueChoice catalogue(state);
    VenueRoom *const venue = catalogue.venue();
    // The manager windows' writes to the server never hold the window thread.
    ServerWaitDialog serverWait(QGuiApplication::primaryScreen()->size());
    if (venue)
        venue->setWindowWait(&serverWait);
    std::unique_ptr<BackgroundMeasuring> measuring;
    if (state.settings.EvenLoudness != 0) {
        measuring = std::make_unique<BackgroundMeasuring>(
            state.DbPath, state.AppPath, std::make_unique<GstLoudnessMeter>(GstLoudnessMeter::Priority::Background),
            catalogue.storeMaker());
        QObject::connect(&mediaPlayers, &IdleWatch::idle, [&measuring] { measuring->resume(); });
        QObject::connect(&mediaPlayers, &IdleWatch::inUse, [&measuring] { measuring->pause(); });
        qApp->installEventFilter(&mediaPlayers);
    }

    const std::unique_ptr<LiveScoring> scoring = LiveScoring::forProgramFolder(fileSystem, state.AppPath);
    const QSize screen = QGuiApplication::primaryScreen()->size();
    MainMenu menu(state, services, screen);
    menu.openPlayer = [&] {
        PlaybackSession session(state, services);
        const PlayRecorder recorder(session, state, historyWriter, history.rememberKey, secondsNow);
        LiveScoring::attach(scoring.get(), session);
        lendPlayerToPhones(phone.desk(), session);
        Player player(session, state, services, screen, menu.Timer1, &menu);
        player.makeOrderingWindow = [&](NextWindow kind) {
            return makeOrderingWindow(kind, session, state, screen, &player);
        };
        ModalRunner::exec(player);
        phone.desk().setPlayer(std::nullopt);
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
        manager.printAll = [&] { print_all(state, services); };
        manager.printNew = [&] {
            print_new(state, services, manager.print_start_date->text(), manager.keyword->text(),
                      manager.printsToExcel() ? PrintTarget::Excel : PrintTarget::Printer);
        };
        ModalRunner::exec(manager);
    };
    FootNotices footNotices(menu, screen);
    footNotices.followQueueSaving(queueWriter);
    std::unique_ptr<ReplicaSync> sync;
    if (venue)
        sync = venue->follow([&footNotices](const QString &text) { footNotices.set(FootNotices::Venue, text); });
    StartForm start(screen, clock, [&] { menu.showFullScreen(); });
    NoticeStrip notices(screen);
    showPhoneOrdering(phone, menu, start, notices);
    QTimer::singleShot(0, &start, &StartForm::run);
    const int code = QApplication::exec();
    // A clean exit (the shutdown menu, the manager's end) starts next time with an empty queue.
    state.OrderedSongs.clear();
    queueWriter.flush(5000);
    historyWriter.flush(5000);
    CatalogueFile::closeCleanly(state.db());
    return code;
}

// Starts up without a window and runs body on the shared state, a database error ending the
// run with its message; the exit code of the program.
int headless(const CommandLine &options, const std::function<int(SharedState &)> &body)
{
    QtFileSystem fileSystem;
    SystemClock clock(options.clockSpeed());
    SharedState state;
    QString problem;
    if (!startUp(state, fileSystem, clock, options, &problem))
        return 1;
    int exitCode = 1;
    try {
        exitCode = body(state);
    } catch (const DatabaseError &e) {
        QTextStream(stderr) << e.message() << Qt::endl;
    }
    CatalogueFile::closeCleanly(state.db());
    return exitCode;
}

// Runs task without a window. In a venue's room the copy is brought up to the server first
// (the task runs on the copy as it is when the server cannot be reached, and says so), and
// every change goes to the server.
int withoutWindow(const CommandLine &options, const std::function<int(SharedState &)> &task)
{
    return headless(options, [&task](SharedState &state) {
        const CatalogueChoice catalogue(state);
        if (VenueRoom *venue = catalogue.venue()) {
            if (const QString notice = venue->catchUpOnce(); !notice.isEmpty())
                QTextStream(stderr) << notice << Qt::endl;
        }
        return task(state);
    });
}

// Runs a task of the venue's catalogue server on the room, without a window.
int withVenue(const CommandLine &options, const std::function<QString(VenueRoom &, SharedState &)> &task)
{
    return headless(options, [&task](SharedState &state) {
        const std::unique_ptr<VenueRoom> venue = VenueRoom::forRoom(state);
        if (!venue) {
            QTextStream(stderr) << "Setting.ini 沒有 CatalogueServer 這一行, 不知道曲目伺服器在哪裡" << Qt::endl;
            return 1;
        }
        QTextStream(stdout) << task(*venue, state) << Qt::endl;
        return 0;
    });
}

int pushCatalogueTask(const CommandLine &options)
{
    return withVenue(options, [&options](VenueRoom &venue, SharedState &state) {
        return pushCatalogue(venue, state.db(), options.values.contains(QStringLiteral("--replace")));
    });
}

int pullCatalogueTask(const CommandLine &options)
{
    return withVenue(options, [](VenueRoom &venue, SharedState &) { return pullCatalogue(venue); });
}

int startUpOnly(const CommandLine &options)
{
    return withoutWindow(options, [](SharedState &state) {
        QTextStream(stdout) << "karaoke: started up in " << state.AppPath << " (catalogue " << state.DbPath
                            << "), --init-only given, exiting" << Qt::endl;
        return 0;
    });
}

// The seven lines of the statistics window, on standard output.
int printStatistics(const CommandLine &options)
{
    return withoutWindow(options, [](SharedState &state) {
        QTextStream out(stdout);
        for (const QString &line : catalogueStatusLines(state.db()) + historyStatusLines(state.db(), secondsNow()))
            out << line << Qt::endl;
        return 0;
    });
}

// The registration tasks: the windows' own work, printed instead of shown. The songs a run
// stored are measured once it is done.
int registerThenMeasure(const CommandLine &options, int (*run)(SharedState &, FileSystem &, Clock &, const QString &,
                                                                QTextStream &),
                        const QString &option)
{
    return withoutWindow(options, [&](SharedState &state) {
        QTextStream out(stdout);
        const qint64 before = lastSongRow(state.db());
        const int exitCode = run(state, *state.Fso, *state.clock, options.value(option), out);
        if (state.settings.EvenLoudness != 0)
            measureLoudness(state, out, before);
        return exitCode;
    });
}

int registerFolder(const CommandLine &options)
{
    return registerThenMeasure(options, registerFolderWithoutWindow, QStringLiteral("--register-folder"));
}

int registerList(const CommandLine &options)
{
    return registerThenMeasure(options, registerListWithoutWindow, QStringLiteral("--register-list"));
}

int measureLoudnessTask(const CommandLine &options)
{
    return withoutWindow(options, [](SharedState &state) {
        QTextStream out(stdout);
        return measureLoudness(state, out);
    });
}

// The printing tasks, as the manager menu's buttons run them.
int printBook(const CommandLine &options)
{
    return withoutWindow(options,
                         [&options](SharedState &state) { return printBookTask(state, options.value("--print-book")); });
}

int printNew(const CommandLine &options)
{
    return withoutWindow(options, [&options](SharedState &state) {
        return printNewTask(state, options.value("--print-new"), options.value("--since"), options.value("--keyword"));
    });
}

int exportNew(const CommandLine &options)
{
    return withoutWindow(options, [&options](SharedState &state) {
        return exportNewTask(state, options.value("--export-new"), options.value("--since"),
                             options.value("--keyword"));
    });
}

int printChartsOption(const CommandLine &options)
{
    return withoutWindow(options,
                         [&options](SharedState &state) { return printChartsTask(state, options.value("--print-charts")); });
}

int exportChartsOption(const CommandLine &options)
{
    return withoutWindow(
        options, [&options](SharedState &state) { return exportChartsTask(state, options.value("--export-charts")); });
}

// Adds or removes this user's autostart entry for the program as started now, with its --home.
int autostart(const CommandLine &options)
{
    QStringList command{QCoreApplication::applicationFilePath()};
    if (const std::optional<QString> home = options.homeOption())
        command << QStringLiteral("--home") << QFileInfo(*home).absoluteFilePath();
    const bool on = options.value(QStringLiteral("--autostart")) == QStringLiteral("on");
    const AutostartResult result = setAutostart(on, UserFolders::fromEnvironment().configHome, command);
    QTextStream(result.ok ? stdout : stderr) << result.message << Qt::endl;
    return result.ok ? 0 : 1;
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
    {QStringLiteral("--statistics"), printStatistics},
    {QStringLiteral("--register-folder"), registerFolder},
    {QStringLiteral("--register-list"), registerList},
    {QStringLiteral("--print-book"), printBook},
    {QStringLiteral("--print-new"), printNew},
    {QStringLiteral("--export-new"), exportNew},
    {QStringLiteral("--print-charts"), printChartsOption},
    {QStringLiteral("--export-charts"), exportChartsOption},
    {QStringLiteral("--autostart"), autostart},
    {QStringLiteral("--measure-loudness"), measureLoudnessTask},
    {QStringLiteral("--push-catalogue"), pushCatalogueTask},
    {QStringLiteral("--pull-catalogue"), pullCatalogueTask},
};

std::unique_ptr<QCoreApplication> makeApplication(AppKind kind, int &argc, char **argv)
{
    switch (kind) {
    case AppKind::Core:
        return std::make_unique<QCoreApplication>(argc, argv);
    case AppKind::OffscreenGui: {
        // Fonts and painting, never a display.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        auto app = std::make_unique<QGuiApplication>(argc, argv);
        installScreenFonts();
        return app;
    }
    case AppKind::Widgets:
        break;
    }
    auto app = std::make_unique<QApplication>(argc, argv);
    installQtTranslations(*app); // without them Qt's buttons and file dialogs speak English
    return app;
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
        const ProgramFolder folder = programFolder(options);
        QTextStream(stdout) << commandLineUsage() << "\nProgram folder: "
                            << (folder.path.isEmpty() ? QStringLiteral("none") : folder.path) << "\n  ("
                            << folder.reason << ")" << Qt::endl;
        return 0;
    }
    if (!options.error.isEmpty()) {
        QTextStream(stderr) << "karaoke: " << options.error << Qt::endl << commandLineUsage();
        return 2;
    }
    const std::unique_ptr<QCoreApplication> app = makeApplication(options.app(), argc, argv);
    return runTask(options);
}
