#pragma once

#include "platform/file_dialogs.h"

// File dialogs through QFileDialog.
class QtFileDialogs : public FileDialogs
{
public:
    QString openFile(const QString &startFolder, const QString &filter) override;
    QString openFileTitled(const QString &title, const QString &startFolder, const QString &filter) override;
    QString saveFile(const QString &startFolder, const QString &initialName, const QString &filter) override;
};
