#pragma once

#include "phone/connection_limits.h"

#include <QHostAddress>
#include <QString>
#include <QStringList>

#include <functional>

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

    // Skipping, pausing and changing another phone's songs from a phone: off; behind
    // ManagerPin when one is set; or open to every phone with "PhoneOwnerActions = 1".
    enum class OwnerActions { Off, Pin, Open };
    OwnerActions ownerActions = OwnerActions::Off;
    QString managerPin;

    ConnectionLimits limits;
    // Milliseconds of a steady clock for the limits on guests; tests may give their own.
    std::function<qint64()> clock;

    QString dbPath;
    QStringList kindNames;
    // Changes of the queue are answered once they are on disk.
    bool waitForDisk = false;

    // From the settings and the catalogue of the started program folder.
    static PhoneConfig of(const SharedState &state);
    static QString randomToken();
};
