#include "app/autostart.h"

#include "platform/output_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// Characters that make the session's launcher read an argument differently unless quoted.
const QString kReserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");

bool needsQuotes(const QString &argument)
{
    for (const QChar c : argument) {
        if (kReserved.contains(c))
            return true;
    }
    return argument.isEmpty();
}

// One argument of Exec: quoted when needed, "%" doubled, then escaped as any string value.
QString execArgument(QString argument)
{
    if (needsQuotes(argument)) {
        for (const QChar special : QStringLiteral("\\\"`$"))
            argument.replace(special, QStringLiteral("\\") + special);
        argument = QLatin1Char('"') + argument + QLatin1Char('"');
    }
    argument.replace(QLatin1Char('%'), QStringLiteral("%%"));
    argument.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    argument.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    argument.replace(QLatin1Char('\t'), QStringLiteral("\\t"));
    return argument.replace(QLatin1Char('\r'), QStringLiteral("\\r"));
}

QByteArray entryText(const QStringList &command)
{
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Karaoke Jukebox\n"
                          "Name[zh_TW]=卡拉OK點歌機\n"
                          "Comment=Starts the karaoke jukebox full screen after login\n"
                          "Comment[zh_TW]=登入後以全螢幕啟動點歌機\n"
                          "Exec=%1\n"
                          "Icon=karaoke\n"
                          "Terminal=false\n"
                          "X-GNOME-Autostart-enabled=true\n")
        .arg(desktopExecValue(command))
        .toUtf8();
}

AutostartResult addEntry(const QString &path, const QStringList &command)
{
    QString error;
    if (!QDir().mkpath(QFileInfo(path).path()) || !OutputFile::write(path, entryText(command), &error))
        return {false, QStringLiteral("無法寫入自動啟動設定 %1 %2").arg(path, error)};
    return {true, QStringLiteral("登入後將自動啟動點歌機: %1").arg(path)};
}

AutostartResult removeEntry(const QString &path)
{
    if (!QFileInfo::exists(path))
        return {true, QStringLiteral("登入後本來就不會自動啟動點歌機 (沒有 %1)").arg(path)};
    if (!QFile::remove(path))
        return {false, QStringLiteral("無法刪除自動啟動設定 %1").arg(path)};
    return {true, QStringLiteral("登入後不再自動啟動點歌機: 已刪除 %1").arg(path)};
}

} // namespace

QString autostartEntryPath(const QString &configHome)
{
    return configHome + QStringLiteral("/autostart/karaoke.desktop");
}

QString desktopExecValue(const QStringList &command)
{
    QStringList arguments;
    for (const QString &argument : command)
        arguments.append(execArgument(argument));
    return arguments.join(QLatin1Char(' '));
}

AutostartResult setAutostart(bool on, const QString &configHome, const QStringList &command)
{
    if (configHome.isEmpty())
        return {false, QStringLiteral("找不到使用者的設定資料夾: HOME 與 XDG_CONFIG_HOME 都沒有指定資料夾")};
    const QString path = autostartEntryPath(configHome);
    return on ? addEntry(path, command) : removeEntry(path);
}
