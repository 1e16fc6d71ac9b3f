#pragma once

#include <QHostAddress>
#include <QString>
#include <QStringList>

struct SharedState;

// How the phone server runs, from the optional Phone* lines of Setting.ini and the jukebox.
struct PhoneConfig
{
    bool enabled = true;
    quint16 port = 8080;
    QHostAddress listen = QHostAddress::Any;
    // The secret part of every address: PhoneToken, or a new random one at every start.
    QString token;
    // A Phone* line that cannot be used, said in the owner's words; the server does not start.
    QString problem;

    QString dbPath;
    bool pinRequired = false;
    QStringList kindNames;
    // Changes of the queue are answered once they are on disk.
    bool waitForDisk = false;

    // From the settings and the catalogue of the started program folder.
    static PhoneConfig of(const SharedState &state);
    static QString randomToken();
};
