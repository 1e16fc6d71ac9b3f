#pragma once

#include "platform/file_dialogs.h"

#include <QStringList>

// Answers file dialogs with the paths the test queued (empty, as if cancelled, when none).
class FakeFileDialogs : public FileDialogs
{
public:
    QStringList answers;
    QStringList asked; // start folder and filter of each dialog

    QString openFile(const QString &startFolder, const QString &filter) override { return next(startFolder, filter); }
    QString saveFile(const QString &startFolder, const QString &initialName, const QString &filter) override
    {
        return next(startFolder + QLatin1Char('|') + initialName, filter);
    }

private:
    QString next(const QString &where, const QString &filter)
    {
        asked.append(where + QLatin1Char('|') + filter);
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
};
