#pragma once

#include <QString>

// A clip written by make-test-media.sh for the tests on the real media engine.
inline QString testMedia(const QString &name)
{
    return qEnvironmentVariable("KARAOKE_TEST_MEDIA") + QLatin1Char('/') + name;
}

// An audio sink that writes what a pipeline plays into a 16-bit WAV file, for the test to
// listen to: synced to the clock when asked, else as fast as it decodes.
inline QString wavFileSink(const QString &wavPath, bool synced = true)
{
    return QStringLiteral("audioconvert ! audio/x-raw,format=S16LE ! %1 wavenc ! filesink async=false location=\"%2\"")
        .arg(synced ? QStringLiteral("identity sync=true !") : QString(), wavPath);
}
