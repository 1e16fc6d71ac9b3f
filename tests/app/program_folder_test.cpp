// Where the program keeps its files (a build tree or a portable copy beside itself, an
// installed program in the user's own folder) and the entry that starts it at login.
#include "app/autostart.h"
#include "app/program_folder.h"
#include "support/program_run.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

TEST(ProgramFolder, HomeWinsAWritableFolderKeepsItsFilesAnInstalledProgramUsesTheUsersOwn)
{
    QTemporaryDir root;
    const QString buildTree = root.filePath("build/src/app");
    const QString installed = root.filePath("usr/bin");
    for (const QString &folder : {buildTree, installed, root.filePath("usr/share/karaoke")})
        ASSERT_TRUE(QDir().mkpath(folder));
    const QString aFile = buildTree + "/karaoke.mdb";
    const UserFolders user{root.filePath("data"), root.filePath("config")};
    const QString ownReason = "the program is installed in " + installed + ": this user's own folder";
    const struct {
        std::optional<QString> home;
        QString executableFolder;
        UserFolders user;
        QString path;
        QString reason;
        QString problem;
    } cases[] = {
        {"/srv/k", installed, user, "/srv/k", "given with --home", ""},
        {std::nullopt, buildTree, user, buildTree,
         "the program's own folder, which it can write: a build tree or a portable copy", ""},
        {std::nullopt, installed, user, root.filePath("data/karaoke"), ownReason, ""},
        {std::nullopt, installed, {}, "",
         "the program is installed in " + installed + ", and neither HOME nor XDG_DATA_HOME names a folder for its files",
         "找不到存放設定檔與曲目資料庫的資料夾: HOME 與 XDG_DATA_HOME 都沒有指定資料夾, 請以 --home 指定"},
        {std::nullopt, installed, {aFile, {}}, aFile + "/karaoke", ownReason,
         "無法建立資料夾 " + aFile + "/karaoke/Music"},
    };
    ASSERT_TRUE(QFile(aFile).open(QIODevice::WriteOnly));
    for (const auto &c : cases) {
        const ProgramFolder folder = chooseProgramFolder(c.home, c.executableFolder, c.user);
        EXPECT_EQ(folder.path, c.path) << c.executableFolder.toStdString();
        EXPECT_EQ(folder.reason, c.reason);
        EXPECT_EQ(prepareProgramFolder(folder), c.problem) << folder.path.toStdString();
    }
    EXPECT_TRUE(QDir(root.filePath("data/karaoke/Music")).exists() && QDir(root.filePath("data/karaoke/Photo")).exists());
}

TEST(Autostart, TheEntryStartsExactlyTheProgramAndItsFolderHoweverTheyAreNamed)
{
    const struct {
        QStringList command;
        QString exec;
    } cases[] = {
        {{"/usr/bin/karaoke"}, "/usr/bin/karaoke"},
        {{"/opt/k k/karaoke", "--home", "/srv/50% \"live\" $room"},
         R"("/opt/k k/karaoke" --home "/srv/50%% \\"live\\" \\$room")"},
        {{"/srv/a\\b/karaoke"}, R"("/srv/a\\\\b/karaoke")"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(desktopExecValue(c.command), c.exec) << c.command.join(' ').toStdString();
}

// The program as installed: in usr/bin beside usr/share/karaoke, run with an empty HOME; a
// relative XDG_DATA_HOME is no folder, an absolute XDG_CONFIG_HOME is.
TEST(InstalledProgram, MakesTheUsersOwnFolderAndAddsAndRemovesItsAutostartEntry)
{
    QTemporaryDir root(QStringLiteral(KARAOKE_PROGRAM) + "-installed-XXXXXX"); // beside it: a link, not a copy
    for (const char *folder : {"usr/bin", "usr/share/karaoke", "home"})
        ASSERT_TRUE(QDir().mkpath(root.filePath(folder)));
    const QString program = root.filePath("usr/bin/karaoke");
    ASSERT_TRUE(link(KARAOKE_PROGRAM, QFile::encodeName(program).constData()) == 0
                || QFile::copy(KARAOKE_PROGRAM, program));
    const QString home = root.filePath("home");
    const QHash<QString, QString> user{{"HOME", home}, {"XDG_DATA_HOME", "data"}, {"XDG_CONFIG_HOME", root.filePath("config")}};
    const QString own = home + "/.local/share/karaoke";

    const ProgramRun help = runProgram(program, {"--help"}, user);
    EXPECT_EQ(help.exitCode, 0) << help.err.toStdString();
    EXPECT_TRUE(help.out.contains("Program folder: " + own + "\n  (the program is installed in "))
        << help.out.toStdString();
    EXPECT_FALSE(QFileInfo::exists(own)) << "--help made the folder";

    const ProgramRun start = runProgram(program, {"--init-only"}, user);
    EXPECT_EQ(start.exitCode, 0) << start.err.toStdString();
    for (const char *name : {"Setting.ini", "karaoke.mdb", "Record", "Music", "Photo"})
        EXPECT_TRUE(QFileInfo::exists(own + "/" + name)) << name;

    const QString entry = root.filePath("config/autostart/karaoke.desktop");
    const ProgramRun on = runProgram(program, {"--autostart", "on"}, user);
    EXPECT_EQ(on.exitCode, 0) << on.err.toStdString();
    QFile written(entry);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.readAll().contains("\nExec=" + QFile::encodeName(program) + "\n"));
    EXPECT_EQ(runProgram(program, {"--autostart", "off"}, user).exitCode, 0);
    EXPECT_FALSE(QFileInfo::exists(entry));
    EXPECT_EQ(runProgram(program, {"--autostart", "off"}, user).exitCode, 0) << "nothing to remove is no fault";
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
