#include "platform/gst/gst_runtime.h"

#include <gst/gst.h>

#include <mutex>

namespace {

void doNothing(gpointer) {}

// GLib's shared thread pools give every thread they ever make the scheduling of the thread that
// made the first of them. Making GStreamer's pool of streaming threads here, on the thread that
// starts GStreamer, keeps that from being a measuring thread at the lowest priority.
void makeStreamingThreadPool()
{
    gst_object_unref(gst_task_new(doNothing, nullptr, nullptr));
}

} // namespace

void GstRuntime::ensureInitialized()
{
    static std::once_flag once;
    std::call_once(once, [] {
        if (!gst_is_initialized())
            gst_init(nullptr, nullptr);
        makeStreamingThreadPool();
    });
}
