#pragma once

#include "platform/mci_device.h"

#include <QHash>
#include <QStringList>

// Records the command strings and answers each with the reply the test set for it, or with
// success (an empty reply).
class FakeMciDevice : public MciDevice
{
    Q_OBJECT

public:
    QStringList commands;
    QHash<QString, QString> replies;

    QString sendString(const QString &command) override
    {
        commands.append(command);
        return replies.value(command);
    }
};
