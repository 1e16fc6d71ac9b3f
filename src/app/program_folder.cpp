#include "app/program_folder.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString kProgramName = QStringLiteral("karaoke");

// A base folder of the user: the variable when it is an absolute path, else below $HOME.
QString baseFolder(const char *variable, const QString &userHome, const QString &belowHome)
{
    const QString value = qEnvironmentVariable(variable);
    if (QDir::isAbsolutePath(value))
        return QDir::cleanPath(value);
    if (!QDir::isAbsolutePath(userHome))
        return {};
    return QDir::cleanPath(userHome + QLatin1Char('/') + belowHome);
}

// An installed program sits in bin/ beside share/karaoke/, its read-only data.
bool isInstalled(const QString &executableFolder)
{
    return QFileInfo(executableFolder + QStringLiteral("/../share/") + kProgramName).isDir();
}

ProgramFolder ownFolder(const UserFolders &user, const QString &why)
{
    if (user.dataHome.isEmpty())
        return {QString(), why + QStringLiteral(", and neither HOME nor XDG_DATA_HOME names a folder for its files")};
    return {user.dataHome + QLatin1Char('/') + kProgramName, why + QStringLiteral(": this user's own folder"), true};
}

} // namespace

UserFolders UserFolders::fromEnvironment()
{
    const QString userHome = qEnvironmentVariable("HOME");
    return {baseFolder("XDG_DATA_HOME", userHome, QStringLiteral(".local/share")),
            baseFolder("XDG_CONFIG_HOME", userHome, QStringLiteral(".config"))};
}

QString executableFolder()
{
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath()).path();
}

ProgramFolder chooseProgramFolder(const std::optional<QString> &homeOption, const QString &executableFolder,
                                  const UserFolders &user)
{
    if (homeOption)
        return {*homeOption, QStringLiteral("given with --home")};
    if (isInstalled(executableFolder))
        return ownFolder(user, QStringLiteral("the program is installed in %1").arg(executableFolder));
    if (!QFileInfo(executableFolder).isWritable())
        return ownFolder(user, QStringLiteral("the program's folder %1 cannot be written").arg(executableFolder));
    return {executableFolder,
            QStringLiteral("the program's own folder, which it can write: a build tree or a portable copy")};
}

QString prepareProgramFolder(const ProgramFolder &folder)
{
    if (folder.path.isEmpty())
        return QStringLiteral("找不到存放設定檔與曲目資料庫的資料夾: HOME 與 XDG_DATA_HOME 都沒有指定資料夾, 請以 --home 指定");
    if (!folder.ownFolder || QFileInfo::exists(folder.path))
        return {};
    const QDir home(folder.path);
    for (const QString &sub : {QStringLiteral("Music"), QStringLiteral("Photo")}) {
        if (!home.mkpath(sub))
            return QStringLiteral("無法建立資料夾 %1").arg(home.filePath(sub));
    }
    return {};
}
