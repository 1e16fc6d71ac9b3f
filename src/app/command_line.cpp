#include "app/command_line.h"

namespace {

const QString kHelp = QStringLiteral("--help");
const QString kSince = QStringLiteral("--since");
const QString kPush = QStringLiteral("--push-catalogue");
const QStringList kListTasks = {QStringLiteral("--print-new"), QStringLiteral("--export-new")};

QString checkPositiveNumber(const QString &value)
{
    bool ok = false;
    const double number = value.toDouble(&ok);
    return ok && number > 0 ? QString() : QStringLiteral("needs a number above 0, not %1").arg(value);
}

QString checkOnOff(const QString &value)
{
    if (value == QStringLiteral("on") || value == QStringLiteral("off"))
        return {};
    return QStringLiteral("needs on or off, not %1").arg(value);
}

const CommandLineOption *findOption(const QString &name)
{
    for (const CommandLineOption &option : commandLineOptions()) {
        if (option.name == name)
            return &option;
    }
    return nullptr;
}

// Takes the option at arguments[i] (and its value) into line; false when the line is wrong.
bool takeOption(const QStringList &arguments, qsizetype &i, CommandLine &line)
{
    const QString &name = arguments[i];
    const CommandLineOption *option = findOption(name);
    if (!option) {
        line.error = QStringLiteral("unknown option %1").arg(name);
        return false;
    }
    QString value;
    if (!option->valueName.isEmpty()) {
        if (i + 1 >= arguments.size()) {
            line.error = QStringLiteral("%1 needs a value %2").arg(name, option->valueName);
            return false;
        }
        value = arguments[++i];
        const QString problem = option->check ? option->check(value) : QString();
        if (!problem.isEmpty()) {
            line.error = name + QLatin1Char(' ') + problem;
            return false;
        }
    }
    if (option->isTask && !line.task.isEmpty() && line.task != name) {
        line.error = QStringLiteral("%1 and %2 cannot run together").arg(line.task, name);
        return false;
    }
    if (option->isTask)
        line.task = name;
    line.values.insert(name, value);
    return true;
}

} // namespace

const QList<CommandLineOption> &commandLineOptions()
{
    static const QList<CommandLineOption> options = {
        {QStringLiteral("--home"), QStringLiteral("DIR"),
         QStringLiteral("program folder with Setting.ini and karaoke.mdb (default: see below)")},
        {QStringLiteral("--clock-speed"), QStringLiteral("N"),
         QStringLiteral("seconds pass N times faster (demonstrations, screenshots)"), checkPositiveNumber},
        {QStringLiteral("--init-only"), QString(),
         QStringLiteral("start up (settings, record folder, catalogue), report and exit"), nullptr, true,
         AppKind::Core},
        {QStringLiteral("--statistics"), QString(), QStringLiteral("print the catalogue's song counts and what was sung, and exit"),
         nullptr, true, AppKind::Core},
        {QStringLiteral("--register-folder"), QStringLiteral("FOLDER"),
         QStringLiteral("register the well-named song files of FOLDER; rows needing a decision are left"), nullptr,
         true, AppKind::Core},
        {QStringLiteral("--register-list"), QStringLiteral("FILE"),
         QStringLiteral("validate and register the songs of a list file"), nullptr, true, AppKind::Core},
        {QStringLiteral("--print-book"), QStringLiteral("FILE.pdf"), QStringLiteral("write the whole song book"),
         nullptr, true, AppKind::OffscreenGui},
        {QStringLiteral("--print-new"), QStringLiteral("FILE.pdf"),
         QStringLiteral("write the list of songs registered since a date"), nullptr, true, AppKind::OffscreenGui,
         {kSince}},
        {QStringLiteral("--export-new"), QStringLiteral("FILE.xlsx"),
         QStringLiteral("export the songs registered since a date as a spreadsheet"), nullptr, true,
         AppKind::OffscreenGui, {kSince}},
        {QStringLiteral("--print-charts"), QStringLiteral("FILE.pdf"),
         QStringLiteral("write the 100 most sung songs (last 30 days, all)"), nullptr, true, AppKind::OffscreenGui},
        {QStringLiteral("--export-charts"), QStringLiteral("FILE.xlsx"),
         QStringLiteral("export the 100 most sung songs as a spreadsheet"), nullptr, true, AppKind::OffscreenGui},
        {QStringLiteral("--autostart"), QStringLiteral("on|off"),
         QStringLiteral("start the jukebox full screen when this user logs in, or no longer"), checkOnOff, true,
         AppKind::Core},
        {QStringLiteral("--measure-loudness"), QString(),
         QStringLiteral("measure the loudness of the songs not measured yet (resumable)"), nullptr, true,
         AppKind::Core},
        {kPush, QString(),
         QStringLiteral("put this room's catalogue on the empty catalogue server of CatalogueServer"), nullptr, true,
         AppKind::Core},
        {QStringLiteral("--replace"), QString(),
         QStringLiteral("with --push-catalogue: replace what the server holds"), nullptr, false, AppKind::Core, {},
         {kPush}},
        {QStringLiteral("--pull-catalogue"), QString(),
         QStringLiteral("replace this room's catalogue with a copy of the catalogue server's"), nullptr, true,
         AppKind::Core},
        {kSince, QStringLiteral("YYYY/MM/DD"), QStringLiteral("first registration date of --print-new, --export-new"),
         nullptr, false, AppKind::Core, {}, kListTasks},
        {QStringLiteral("--keyword"), QStringLiteral("K"),
         QStringLiteral("only titles holding K, for --print-new, --export-new"), nullptr, false, AppKind::Core, {},
         kListTasks},
        {kHelp, QString(), QStringLiteral("print this text and exit")},
    };
    return options;
}

std::optional<QString> CommandLine::homeOption() const
{
    const auto given = values.constFind(QStringLiteral("--home"));
    return given == values.cend() ? std::nullopt : std::optional<QString>(*given);
}

double CommandLine::clockSpeed() const
{
    return values.contains(QStringLiteral("--clock-speed")) ? value(QStringLiteral("--clock-speed")).toDouble() : 1.0;
}

AppKind CommandLine::app() const
{
    const CommandLineOption *option = findOption(task);
    return option ? option->app : AppKind::Widgets;
}

CommandLine parseCommandLine(const QStringList &arguments)
{
    CommandLine line;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == kHelp) {
            line.help = true;
            return line;
        }
        if (!takeOption(arguments, i, line))
            return line;
    }
    const CommandLineOption *task = findOption(line.task);
    for (const QString &needed : task ? task->needs : QStringList()) {
        if (!line.values.contains(needed)) {
            line.error = QStringLiteral("%1 needs %2").arg(line.task, needed);
            return line;
        }
    }
    for (auto it = line.values.cbegin(); it != line.values.cend(); ++it) {
        const CommandLineOption *option = findOption(it.key());
        if (option && !option->onlyWith.isEmpty() && !option->onlyWith.contains(line.task)) {
            line.error = QStringLiteral("%1 goes with %2").arg(it.key(), option->onlyWith.join(QStringLiteral(" or ")));
            return line;
        }
    }
    return line;
}

QString commandLineUsage()
{
    QString text = QStringLiteral("usage: karaoke [OPTION]...\n"
                                  "Without a task option the jukebox starts full screen.\n");
    for (const CommandLineOption &option : commandLineOptions()) {
        QString left = option.name;
        if (!option.valueName.isEmpty())
            left += QLatin1Char(' ') + option.valueName;
        for (const QString &needed : option.needs) {
            const CommandLineOption *neededOption = findOption(needed);
            left += QLatin1Char(' ') + needed;
            if (neededOption && !neededOption->valueName.isEmpty())
                left += QLatin1Char(' ') + neededOption->valueName;
        }
        text += QStringLiteral("  %1  %2\n").arg(left, -24).arg(option.help);
    }
    return text;
}
