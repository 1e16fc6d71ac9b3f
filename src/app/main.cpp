#include "command_line.h"
#include "init_system.h"
#include "qt_file_system.h"
#include "shared_state.h"
#include "system_clock.h"

#include <QApplication>
#include <QTextStream>

#include <memory>

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    // Starting up needs no display; only the windows do.
    const bool initOnly = arguments.contains(QStringLiteral("--init-only"));
    std::unique_ptr<QCoreApplication> app(initOnly ? new QCoreApplication(argc, argv) : new QApplication(argc, argv));
    const CommandLine options = parseCommandLine(arguments, QCoreApplication::applicationDirPath());
    QTextStream err(stderr);
    if (!options.error.isEmpty()) {
        err << options.error << Qt::endl;
        return 2;
    }

    QtFileSystem fileSystem;
    SystemClock clock(options.clockSpeed);
    SharedState state;
    const InitResult init = InitSystem(state, fileSystem, clock, options.home);
    for (const QString &notice : init.notices)
        err << notice << Qt::endl;
    if (!init.ok) {
        err << init.problem << Qt::endl;
        return 1;
    }
    if (options.initOnly) {
        QTextStream(stdout) << "karaoke: started up in " << state.AppPath << " (catalogue " << state.DbPath
                            << "), --init-only given, exiting" << Qt::endl;
        return 0;
    }
    return 0;
}
