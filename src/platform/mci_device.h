#pragma once

#include <QObject>
#include <QString>

// The command-string device that plays and records WAV files. It understands
// "open FILE alias po", "record po", "save po", "close po", "play po", "pause po",
// "resume po" and "stop po" (FILE may be quoted). sendString returns the device's reply:
// empty when the command succeeded, else a text that says what went wrong.
class MciDevice : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    ~MciDevice() override = default;
    virtual QString sendString(const QString &command) = 0;

signals:
    // A failure found while recording or playing, after the command itself was accepted
    // (for example the capture source went away).
    void failed(const QString &message);
};
