#pragma once

#include "platform/mci_device.h"

#include <memory>

// The recording device on GStreamer. "record" captures from captureSource (a pipeline
// description, "autoaudiosrc" by default) in the format of the WAV header already in the
// opened file and appends the samples after it as they arrive; "save" fixes the size fields.
// "play" plays the opened file; playSink (a sink description) replaces the default output.
// No command waits for the device: what goes wrong later arrives through failed(). Replies
// and failures are short Chinese texts for the guest; the technical reason goes to the log.
class GstMciDevice : public MciDevice
{
    Q_OBJECT

public:
    explicit GstMciDevice(const QString &captureSource = QStringLiteral("autoaudiosrc"),
                          const QString &playSink = QString(), QObject *parent = nullptr);
    ~GstMciDevice() override;

    QString sendString(const QString &command) override;

private:
    struct Private;

    QString open(const QString &argument);
    QString record();
    QString save();
    QString close();
    QString play();
    QString pause();
    QString resume();
    QString stop();

    std::unique_ptr<Private> m_d;
};
