#include "app/command_line.h"

namespace {

struct TaskOption
{
    const char *name;
    CommandLine::Task task;
};

// The tasks that need no window; those of the printing take a file name.
const TaskOption kSimpleTasks[] = {
    {"--init-only", CommandLine::Task::InitOnly},
    {"--statistics", CommandLine::Task::Statistics},
};
const TaskOption kPrintTasks[] = {
    {"--print-book", CommandLine::Task::PrintBook},
    {"--print-new", CommandLine::Task::PrintNew},
    {"--export-new", CommandLine::Task::ExportNew},
};
// The registration tasks take the folder or list file to register.
const TaskOption kRegisterTasks[] = {
    {"--register-folder", CommandLine::Task::RegisterFolder},
    {"--register-list", CommandLine::Task::RegisterList},
};

template<size_t N>
const TaskOption *findTask(const TaskOption (&tasks)[N], const QString &arg)
{
    for (const TaskOption &option : tasks) {
        if (arg == QLatin1String(option.name))
            return &option;
    }
    return nullptr;
}

QString checkTask(const CommandLine &options)
{
    const bool needsDate = options.task == CommandLine::Task::PrintNew || options.task == CommandLine::Task::ExportNew;
    if (needsDate && !options.sinceGiven)
        return QStringLiteral("--print-new and --export-new need --since YYYY/MM/DD");
    if (!needsDate && (options.sinceGiven || options.keywordGiven))
        return QStringLiteral("--since and --keyword go with --print-new or --export-new");
    return QString();
}

} // namespace

CommandLine parseCommandLine(const QStringList &arguments, const QString &executableFolder)
{
    CommandLine options;
    options.home = executableFolder;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &arg = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (const TaskOption *task = findTask(kSimpleTasks, arg)) {
            options.task = task->task;
        } else if (arg == QLatin1String("--home") && hasValue) {
            options.home = arguments[++i];
        } else if (arg == QLatin1String("--clock-speed") && hasValue) {
            bool ok = false;
            options.clockSpeed = arguments[++i].toDouble(&ok);
            if (!ok || !(options.clockSpeed > 0)) {
                options.error = QStringLiteral("--clock-speed needs a number above 0, not %1").arg(arguments[i]);
                return options;
            }
        } else if (const TaskOption *task = findTask(kPrintTasks, arg); task && hasValue) {
            options.task = task->task;
            options.outputFile = arguments[++i];
        } else if (const TaskOption *task = findTask(kRegisterTasks, arg); task && hasValue) {
            options.task = task->task;
            options.inputPath = arguments[++i];
        } else if (arg == QLatin1String("--since") && hasValue) {
            options.since = arguments[++i];
            options.sinceGiven = true;
        } else if (arg == QLatin1String("--keyword") && hasValue) {
            options.keyword = arguments[++i];
            options.keywordGiven = true;
        } else {
            options.error = QStringLiteral("unknown option %1 (use --home DIR, --init-only, --statistics, --clock-speed N, "
                                           "--print-book FILE.pdf, --print-new FILE.pdf --since YYYY/MM/DD "
                                           "[--keyword K], --export-new FILE.xlsx --since YYYY/MM/DD [--keyword K], "
                                           "--register-folder FOLDER, --register-list FILE)")
                                .arg(arg);
            return options;
        }
    }
    options.error = checkTask(options);
    return options;
}

CommandLine::Task requestedTask(const QStringList &arguments)
{
    for (const QString &arg : arguments) {
        if (const TaskOption *task = findTask(kSimpleTasks, arg))
            return task->task;
        if (const TaskOption *task = findTask(kPrintTasks, arg))
            return task->task;
        if (const TaskOption *task = findTask(kRegisterTasks, arg))
            return task->task;
    }
    return CommandLine::Task::Jukebox;
}
