#pragma once

#include <gst/gst.h>

// Streaming threads that belong to one pipeline alone. Each task runs on a thread made for it
// that ends with the task: GStreamer's shared pool hands a finished thread, with whatever
// scheduling it was given, to the next pipeline that starts (a song playing), and this one never
// does. With lowered, every thread runs at the lowest priority (SCHED_IDLE).
namespace GstOwnTaskPool {
// A new pool (transfer full); gst_object_unref it once its pipeline has gone to NULL.
GstTaskPool *create(bool lowered);
// Gives the task announced by message (a stream-status CREATE) to pool; other messages are
// left alone. Called from the pipeline's bus sync handler, before the task's thread starts.
void adopt(GstMessage *message, GstTaskPool *pool);
}
