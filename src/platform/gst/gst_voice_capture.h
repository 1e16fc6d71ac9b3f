#pragma once

#include "platform/voice_capture.h"

#include <memory>

// The guest's voice from a GStreamer capture source (a pipeline description, "autoaudiosrc"
// as the recorder uses by default; a test gives a file played in real time), as mono floats at
// the source's own rate.
class GstVoiceCapture : public VoiceCapture
{
public:
    explicit GstVoiceCapture(const QString &captureSource = QStringLiteral("autoaudiosrc"));
    ~GstVoiceCapture() override;

    QString start(Listener listener) override;
    QString stop() override;

private:
    struct Private;
    std::unique_ptr<Private> m_d;
};
