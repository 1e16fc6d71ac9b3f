#pragma once

#include "platform/mci_device.h"

#include <QStringList>

// Records the command strings and answers every one with the reply the test sets.
class FakeMciDevice : public MciDevice
{
    Q_OBJECT

public:
    QStringList commands;
    QString reply;
    QString sendString(const QString &command) override
    {
        commands.append(command);
        return reply;
    }
};
