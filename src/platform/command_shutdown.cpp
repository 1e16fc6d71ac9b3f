#include "platform/command_shutdown.h"

#include <QProcess>

void CommandShutdown::powerOff()
{
    QProcess::startDetached(QStringLiteral("systemctl"), {QStringLiteral("poweroff")});
}
