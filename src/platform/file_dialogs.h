#pragma once

#include <QString>

// Choosing a file to open or a name to save under. An empty result means the user cancelled.
class FileDialogs
{
public:
    virtual ~FileDialogs() = default;
    virtual QString openFile(const QString &startFolder, const QString &filter) = 0;
    // The same, with a title that tells the user what to pick.
    virtual QString openFileTitled(const QString &title, const QString &startFolder, const QString &filter)
    {
        Q_UNUSED(title);
        return openFile(startFolder, filter);
    }
    virtual QString saveFile(const QString &startFolder, const QString &initialName, const QString &filter) = 0;
};
