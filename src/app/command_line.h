#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The application object a task needs. The jukebox needs a display; the owner's tasks run
// without one: QCoreApplication, or QGuiApplication on the offscreen platform for those that
// lay out text or paint pages.
enum class AppKind { Widgets, Core, OffscreenGui };

// One option of the command line. An option that is a task (an owner's job run without
// windows) replaces the jukebox; the others set what the tasks read. Adding a task is one
// row in the table of command_line.cpp (its value, the options it needs, its application
// kind) plus its handler in the task table of main.cpp.
struct CommandLineOption
{
    QString name;           // "--home"
    QString valueName;      // "DIR"; empty for an option without value
    QString help;
    QString (*check)(const QString &value) = nullptr; // an error text, or empty when the value is right
    bool isTask = false;
    AppKind app = AppKind::Core; // tasks only
    QStringList needs = {};      // tasks only: options that must be given with it
    QStringList onlyWith = {};   // the tasks this option belongs to; empty: any
};

// What the command line asks for: a task (empty: the jukebox) and the values of the options.
struct CommandLine
{
    QString task;
    QHash<QString, QString> values; // option name -> value ("" for an option without value)
    bool help = false;
    QString error; // set when the command line cannot be run as given

    QString value(const QString &option) const { return values.value(option); }
    // The folder given with --home, if any.
    std::optional<QString> homeOption() const;
    double clockSpeed() const;
    AppKind app() const;
};

// The options, in the order the usage text lists them.
const QList<CommandLineOption> &commandLineOptions();

// Reads the arguments (the first is the program) without needing any application object.
CommandLine parseCommandLine(const QStringList &arguments);

QString commandLineUsage();
