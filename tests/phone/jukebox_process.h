#pragma once

#include "support/catalogue_home.h"
#include "support/fake_clock.h"
#include "support/fake_file_system.h"

#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QProcess>
#include <QSet>
#include <QString>

#include <optional>

// A started program folder with one song (100001, 晴天 by 周杰倫), whose Setting.ini puts the
// phone server on a free port of 127.0.0.1.
struct JukeboxHome
{
    JukeboxHome();
    QString path() const { return home.home.path(); }

    FakeFileSystem fs;
    FakeClock clock;
    CatalogueHome home{fs, clock};
    quint16 port = 0;
};

// The real program on a program folder, started as a room starts it (the folder's Setting.ini
// gives the phone port and token), reached through its phone address. It cannot grow past
// kMemoryLimit: a fault that made it read without end stops it, not the machine.
class JukeboxProcess
{
public:
    static constexpr qint64 kMemoryLimit = qint64(4) << 30;
    static inline const QString kToken = QStringLiteral("CRASHTEST");

    // extra: variables of the environment besides the test's own (the display, say).
    JukeboxProcess(const QString &home, quint16 port, const QProcessEnvironment &extra = {});
    ~JukeboxProcess() { killNine(); }

    // The queue it serves, once it serves; nullopt when it never did or stopped.
    std::optional<QJsonObject> queue();
    // Orders from a new phone each time; the ids answered "ok" go into ok.
    void order(QSet<qint64> &ok);
    // Orders number under name and waits for the answer.
    QJsonObject orderNow(const QString &number, const QString &name);
    qint64 pid() const { return m_process.processId(); }
    bool running() const { return m_process.state() == QProcess::Running; }
    void killNine();

private:
    QString m_base;
    QNetworkAccessManager m_network;
    QProcess m_process;
    int m_phones = 0;
};
