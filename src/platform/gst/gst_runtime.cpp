#include "platform/gst/gst_runtime.h"

#include <gst/gst.h>

#include <mutex>

void GstRuntime::ensureInitialized()
{
    static std::once_flag once;
    std::call_once(once, [] {
        if (!gst_is_initialized())
            gst_init(nullptr, nullptr);
    });
}
