#pragma once

#include <QString>

// Choosing a file to open or a name to save under. An empty result means the user cancelled.
class FileDialogs
{
public:
    virtual ~FileDialogs() = default;
    virtual QString openFile(const QString &startFolder, const QString &filter) = 0;
    virtual QString saveFile(const QString &startFolder, const QString &initialName, const QString &filter) = 0;
};
