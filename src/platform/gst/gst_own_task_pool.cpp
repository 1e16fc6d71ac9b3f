#include "gst_own_task_pool.h"

#include <pthread.h>
#include <sched.h>

#include <system_error>
#include <thread>

namespace {

struct KaraokeOwnTaskPool
{
    GstTaskPool parent;
    gboolean lowered;
};

struct KaraokeOwnTaskPoolClass
{
    GstTaskPoolClass parentClass;
};

G_DEFINE_TYPE(KaraokeOwnTaskPool, karaoke_own_task_pool, GST_TYPE_TASK_POOL)

// GStreamer's own preparation would make a GLib thread pool this pool never uses.
void prepare(GstTaskPool *, GError **) {}

void cleanup(GstTaskPool *) {}

// The task's thread is detached: the task's join already waits until its function has returned,
// and what is left of the thread touches nothing of the pipeline.
gpointer push(GstTaskPool *pool, GstTaskPoolFunction function, gpointer data, GError **error)
{
    const bool lowered = reinterpret_cast<KaraokeOwnTaskPool *>(pool)->lowered;
    try {
        std::thread([function, data, lowered] {
            if (lowered) {
                sched_param param{};
                pthread_setschedparam(pthread_self(), SCHED_IDLE, &param);
            }
            function(data);
        }).detach();
    } catch (const std::system_error &e) {
        g_set_error(error, G_THREAD_ERROR, G_THREAD_ERROR_AGAIN, "%s", e.what());
    }
    return nullptr;
}

void join(GstTaskPool *, gpointer) {}

void karaoke_own_task_pool_class_init(KaraokeOwnTaskPoolClass *klass)
{
    GstTaskPoolClass *pool = GST_TASK_POOL_CLASS(klass);
    pool->prepare = prepare;
    pool->cleanup = cleanup;
    pool->push = push;
    pool->join = join;
}

void karaoke_own_task_pool_init(KaraokeOwnTaskPool *pool)
{
    pool->lowered = FALSE;
}

} // namespace

GstTaskPool *GstOwnTaskPool::create(bool lowered)
{
    auto *pool = static_cast<KaraokeOwnTaskPool *>(g_object_new(karaoke_own_task_pool_get_type(), nullptr));
    pool->lowered = lowered;
    gst_object_ref_sink(pool);
    return &pool->parent;
}

void GstOwnTaskPool::adopt(GstMessage *message, GstTaskPool *pool)
{
    if (GST_MESSAGE_TYPE(message) != GST_MESSAGE_STREAM_STATUS)
        return;
    GstStreamStatusType type;
    GstElement *owner = nullptr;
    gst_message_parse_stream_status(message, &type, &owner);
    const GValue *object = gst_message_get_stream_status_object(message);
    if (type != GST_STREAM_STATUS_TYPE_CREATE || !object || !G_VALUE_HOLDS_OBJECT(object))
        return;
    if (gpointer task = g_value_get_object(object); GST_IS_TASK(task))
        gst_task_set_pool(GST_TASK(task), pool);
}
