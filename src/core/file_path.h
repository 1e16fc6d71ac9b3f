#pragma once

#include <QString>

// A path read from a file or the catalogue, as this machine names it: "\" and "/" both
// separate folders, and a relative path is taken inside the program folder appPath.
// Catalogues and settings made on Windows are full of "\" paths.
QString resolvePath(const QString &appPath, const QString &path);

// True when the text ends with a folder separator of either kind.
bool endsWithSeparator(const QString &path);
