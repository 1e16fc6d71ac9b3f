#pragma once

// GStreamer is started once per process, by whichever media object needs it first.
class GstRuntime
{
public:
    static void ensureInitialized();
};
