#pragma once

#include <QString>

#include <optional>

// This user's folders by the XDG base directory rules: a variable that is not an absolute
// path is ignored, and the folder under $HOME is taken instead. Empty when neither is known.
struct UserFolders
{
    QString dataHome;   // $XDG_DATA_HOME, else $HOME/.local/share
    QString configHome; // $XDG_CONFIG_HOME, else $HOME/.config

    static UserFolders fromEnvironment();
};

// The folder of the running program (the real file, whatever link started it).
QString executableFolder();

// Where the program keeps Setting.ini, karaoke.mdb and its folders, and why there.
struct ProgramFolder
{
    QString path;   // empty when no folder can be chosen
    QString reason; // why this folder, for --help and for the owner when there is none
    bool ownFolder = false; // the user's own folder under the data home
};

// --home wins. Otherwise the folder of the executable, as long as the program can write it
// and it is not an installed program's (a bin/ folder beside share/karaoke/), so a build tree
// or a portable copy keeps its files beside itself; otherwise the user's own folder,
// dataHome/karaoke.
ProgramFolder chooseProgramFolder(const std::optional<QString> &homeOption, const QString &executableFolder,
                                  const UserFolders &user);

// Makes the user's own folder on its first start, with Music/ and Photo/ beside what start-up
// makes; empty, or the reason it cannot be made, in the program's words.
QString prepareProgramFolder(const ProgramFolder &folder);
