#include "support/virtual_display.h"

#include <QFile>
#include <QStandardPaths>
#include <QtCore/qtestsupport_core.h>

VirtualDisplay::VirtualDisplay()
{
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty()) {
        m_problem = QStringLiteral("Xvfb is missing (scripts/install-deps.sh installs it)");
        return;
    }
    for (int number = 70; number < 100; ++number) {
        const QString socket = QStringLiteral("/tmp/.X11-unix/X%1").arg(number);
        if (QFile::exists(socket) || QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(number)))
            continue;
        m_server.start(xvfb, {QStringLiteral(":%1").arg(number), QStringLiteral("-screen"), QStringLiteral("0"),
                              QStringLiteral("1280x720x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        if (m_server.waitForStarted(5000)
            && QTest::qWaitFor([&] { return QFile::exists(socket) || m_server.state() != QProcess::Running; }, 5000)
            && m_server.state() == QProcess::Running) {
            m_name = QStringLiteral(":%1").arg(number);
            return;
        }
        m_server.kill();
        m_server.waitForFinished(5000);
    }
    m_problem = QStringLiteral("no display number from :70 to :99 could be started");
}

VirtualDisplay::~VirtualDisplay()
{
    m_server.terminate();
    if (!m_server.waitForFinished(5000)) {
        m_server.kill();
        m_server.waitForFinished(5000);
    }
}

QProcessEnvironment VirtualDisplay::environment() const
{
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("DISPLAY"), m_name);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    return environment;
}

bool VirtualDisplay::press(const QString &key) const
{
    QProcess xdotool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), m_name);
    xdotool.setProcessEnvironment(environment);
    xdotool.start(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("--clearmodifiers"), key});
    return xdotool.waitForFinished(5000) && xdotool.exitCode() == 0;
}
