#include "app/command_line.h"
#include "support/program_run.h"
#include "support/qt_printers.h"
#include "support/temp_home.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>

#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

TEST(CommandLine, OptionsAreReadWithTheirValuesAndMistakesAreNamed)
{
    const struct {
        QStringList arguments;
        QString task;
        QString home;
        double clockSpeed;
        QString error;
    } cases[] = {
        {{}, "", "", 1.0, ""},
        {{"--home", "/srv/k", "--init-only", "--clock-speed", "4"}, "--init-only", "/srv/k", 4.0, ""},
        {{"--init-only", "--home"}, "--init-only", "", 1.0, "--home needs a value DIR"},
        {{"--clock-speed", "0"}, "", "", 1.0, "--clock-speed needs a number above 0, not 0"},
        {{"--clock-speed", "fast"}, "", "", 1.0, "--clock-speed needs a number above 0, not fast"},
        {{"--autostart", "yes"}, "", "", 1.0, "--autostart needs on or off, not yes"},
        {{"--home", "/srv/k", "-x"}, "", "/srv/k", 1.0, "unknown option -x"},
    };
    for (const auto &c : cases) {
        const CommandLine line = parseCommandLine(QStringList{"karaoke"} + c.arguments);
        const std::string what = c.arguments.join(' ').toStdString();
        EXPECT_EQ(line.error, c.error) << what;
        EXPECT_EQ(line.task, c.task) << what;
        EXPECT_EQ(line.homeOption().value_or(QString()), c.home) << what;
        EXPECT_EQ(line.clockSpeed(), c.clockSpeed) << what;
        EXPECT_FALSE(line.help) << what;
    }
    EXPECT_EQ(parseCommandLine({"karaoke", "--init-only"}).app(), AppKind::Core);
    EXPECT_EQ(parseCommandLine({"karaoke"}).app(), AppKind::Widgets);
    EXPECT_TRUE(parseCommandLine({"karaoke", "--home", "/srv", "--help", "--bogus"}).help);
}

ProgramRun runProgram(const QStringList &arguments)
{
    return runProgram(QStringLiteral(KARAOKE_PROGRAM), arguments);
}

TEST(KaraokeProgram, AnswersWithoutADisplayAndNeverWaitsOnAPipeNamedLikeItsFiles)
{
    const ProgramRun help = runProgram({"--help"});
    EXPECT_EQ(help.exitCode, 0) << help.err.toStdString();
    EXPECT_TRUE(help.out.contains("--init-only")) << help.out.toStdString();

    const ProgramRun unknown = runProgram({"--bogus"});
    EXPECT_EQ(unknown.exitCode, 2) << unknown.err.toStdString();
    EXPECT_TRUE(unknown.err.contains("unknown option --bogus")) << unknown.err.toStdString();
    EXPECT_TRUE(unknown.err.contains("usage: karaoke")) << unknown.err.toStdString();

    TempHome home;
    const QByteArray settings = QFile::encodeName(home.file("Setting.ini"));
    ASSERT_EQ(mkfifo(settings.constData(), 0644), 0);
    const ProgramRun start = runProgram({"--home", home.path(), "--init-only"});
    ASSERT_TRUE(start.finished) << "start-up waited on the pipe";
    EXPECT_EQ(start.exitCode, 0) << start.err.toStdString();
    EXPECT_TRUE(start.err.contains(QStringLiteral("設定檔 %1 不是一般檔案").arg(home.file("Setting.ini"))))
        << start.err.toStdString();
    struct stat after = {};
    ASSERT_EQ(stat(settings.constData(), &after), 0);
    EXPECT_TRUE(S_ISFIFO(after.st_mode)) << "the pipe was replaced";

    // A pipe in the catalogue's place is refused, not read.
    TempHome pipeCatalogue;
    const QByteArray catalogue = QFile::encodeName(pipeCatalogue.file("karaoke.mdb"));
    ASSERT_EQ(mkfifo(catalogue.constData(), 0644), 0);
    const ProgramRun refused = runProgram({"--home", pipeCatalogue.path(), "--init-only"});
    ASSERT_TRUE(refused.finished) << "start-up waited on the pipe";
    EXPECT_NE(refused.exitCode, 0);
    EXPECT_TRUE(refused.err.contains(QStringLiteral("不是一般檔案"))) << refused.err.toStdString();
    ASSERT_EQ(stat(catalogue.constData(), &after), 0);
    EXPECT_TRUE(S_ISFIFO(after.st_mode)) << "the pipe was replaced";
}


// A room's jukebox and a registration run started together on a new home both find no
// catalogue: each builds its own, one of them is put in place and the other opens it.
TEST(CommandLine, ProgramsStartingTogetherOnANewHomeAllStartOnOneCatalogue)
{
    for (int round = 0; round < 6; ++round) {
        TempHome home;
        std::vector<std::unique_ptr<QProcess>> runs;
        for (int i = 0; i < 4; ++i) {
            runs.push_back(std::make_unique<QProcess>());
            runs.back()->start(QStringLiteral(KARAOKE_PROGRAM), {"--home", home.path(), "--init-only"});
        }
        for (auto &run : runs) {
            ASSERT_TRUE(run->waitForFinished(30000));
            EXPECT_EQ(run->exitCode(), 0) << "round " << round << ": " << run->readAllStandardError().toStdString();
        }
        const ProgramRun again = runProgram({"--home", home.path(), "--init-only"});
        EXPECT_EQ(again.exitCode, 0) << again.err.toStdString();
        EXPECT_EQ(QDir(home.path()).entryList({"karaoke.mdb*"}, QDir::Files), QStringList{"karaoke.mdb"})
            << "round " << round << ": a catalogue being built was left behind";
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
