#include "support/program_run.h"

#include <QProcess>

ProgramRun runProgram(const QString &program, const QStringList &arguments, const QHash<QString, QString> &environment)
{
    QProcessEnvironment variables = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        variables.remove(QString::fromLatin1(name));
    for (auto it = environment.cbegin(); it != environment.cend(); ++it) {
        if (it.value().isEmpty())
            variables.remove(it.key());
        else
            variables.insert(it.key(), it.value());
    }
    QProcess process;
    process.setProcessEnvironment(variables);
    process.start(program, arguments);
    ProgramRun run;
    run.finished = process.waitForFinished(30000);
    if (!run.finished) {
        process.kill();
        process.waitForFinished();
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}
