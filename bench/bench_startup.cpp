// Times the program's start-up as the owner meets it: a whole run of `karaoke --init-only` (the
// process started, settings and catalogue opened, exit) on the catalogue of 100 000 songs and
// 10 000 singers, for each program named: the build tree's and an installed one start alike.
//   bench_startup PROGRAM... [benchmark flags]
#include "catalogue_generator.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <benchmark/benchmark.h>

namespace {

void StartUp(benchmark::State &st, const QString &program, const QString &home)
{
    for (auto _ : st) {
        QProcess process;
        process.start(program, {QStringLiteral("--home"), home, QStringLiteral("--init-only")});
        const bool finished = process.waitForFinished(60000);
        if (!finished || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
            st.SkipWithError("the program did not start up");
            break;
        }
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    const QString home = QDir::tempPath() + QStringLiteral("/karaoke-bench");
    generateCatalogue(home, 100000, 10000);
    for (int i = 1; i < argc; ++i) {
        const QString program = QFileInfo(QString::fromLocal8Bit(argv[i])).absoluteFilePath();
        benchmark::RegisterBenchmark(("StartUp/" + program).toStdString().c_str(), StartUp, program, home)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
