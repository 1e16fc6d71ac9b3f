#include "gst_cdg_source.h"

#include "gst_cdg_feeds.h"
#include "platform/cdg/cdg_song.h"

#include <QFile>

#include <algorithm>
#include <mutex>
#include <vector>

namespace {

constexpr const char *kScheme = "karaoke-cdg";
constexpr const char *kFileScheme = "file";

// What the element keeps between the application's calls and its own streaming.
struct SourceState
{
    std::mutex mutex;
    QString uri;
    QString path;
    bool picturesWanted = true;
    CdgFrameLayout layout = CdgFrameLayout::forDisplay(0, 0, false);
    GstElement *pictures = nullptr; // held by the bin while the source runs
    gint64 soundEnd = 0;            // where the sound decoded so far ends
};

QString pathOfUri(const QString &uri)
{
    if (!uri.startsWith(QLatin1String(kScheme) + QLatin1String("://")))
        return {};
    const QByteArray fileUri = (QLatin1String(kFileScheme) + uri.mid(qsizetype(qstrlen(kScheme)))).toUtf8();
    gchar *path = g_filename_from_uri(fileUri.constData(), nullptr, nullptr);
    if (!path)
        return {};
    const QString result = QFile::decodeName(path);
    g_free(path);
    return result;
}

} // namespace

struct KaraokeCdgSrc
{
    GstBin parent;
    SourceState *state;
};

struct KaraokeCdgSrcClass
{
    GstBinClass parent_class;
};

static void karaoke_cdg_src_uri_init(gpointer iface, gpointer);

G_DEFINE_TYPE_WITH_CODE(KaraokeCdgSrc, karaoke_cdg_src, GST_TYPE_BIN,
                        G_IMPLEMENT_INTERFACE(GST_TYPE_URI_HANDLER, karaoke_cdg_src_uri_init))

namespace {

GstStaticPadTemplate picturesTemplate =
    GST_STATIC_PAD_TEMPLATE("pictures", GST_PAD_SRC, GST_PAD_SOMETIMES, GST_STATIC_CAPS("video/x-raw"));
GstStaticPadTemplate soundTemplate = GST_STATIC_PAD_TEMPLATE("sound", GST_PAD_SRC, GST_PAD_SOMETIMES, GST_STATIC_CAPS_ANY);

KaraokeCdgSrc *asSource(gpointer object)
{
    return G_TYPE_CHECK_INSTANCE_CAST(object, karaoke_cdg_src_get_type(), KaraokeCdgSrc);
}

// A file that is not there may come back; a zip file without a pair stays as it is.
void fail(GstElement *element, const QString &problem, bool fileMissing)
{
    if (fileMissing)
        GST_ELEMENT_ERROR(element, RESOURCE, NOT_FOUND, ("%s", problem.toUtf8().constData()), (nullptr));
    else
        GST_ELEMENT_ERROR(element, STREAM, WRONG_TYPE, ("%s", problem.toUtf8().constData()), (nullptr));
}

// The ghost pad is active before it is added, so the appsrc can push the moment it starts.
void offer(GstElement *element, GstElement *appsrc, GstStaticPadTemplate *padTemplate)
{
    gst_bin_add(GST_BIN(element), appsrc);
    GstPad *target = gst_element_get_static_pad(appsrc, "src");
    GstPadTemplate *templ = gst_static_pad_template_get(padTemplate);
    GstPad *ghost = gst_ghost_pad_new_from_template(padTemplate->name_template, target, templ);
    gst_object_unref(templ);
    gst_object_unref(target);
    gst_pad_set_active(ghost, TRUE);
    gst_element_add_pad(element, ghost);
}

// Tracks where the decoded sound ends, and at its end ends the pictures there.
GstPadProbeReturn onDecodedSound(GstPad *, GstPadProbeInfo *info, gpointer element)
{
    SourceState &state = *asSource(element)->state;
    std::lock_guard lock(state.mutex);
    if (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_BUFFER) {
        GstBuffer *buffer = GST_PAD_PROBE_INFO_BUFFER(info);
        if (GST_BUFFER_PTS_IS_VALID(buffer) && GST_BUFFER_DURATION_IS_VALID(buffer))
            state.soundEnd = std::max(state.soundEnd, gint64(GST_BUFFER_PTS(buffer) + GST_BUFFER_DURATION(buffer)));
    } else if (GST_EVENT_TYPE(GST_PAD_PROBE_INFO_EVENT(info)) == GST_EVENT_EOS && state.pictures) {
        GstCdgPictureFeed::endAt(state.pictures, state.soundEnd);
    }
    return GST_PAD_PROBE_OK;
}

// The sound is watched as it leaves its decoder: further on, playbin holds the end of a
// stream back until every stream has ended.
void onDecodedPad(GstElement *, GstPad *pad, gpointer element)
{
    GstCaps *caps = gst_pad_get_current_caps(pad);
    if (!caps)
        caps = gst_pad_query_caps(pad, nullptr);
    const bool sound = caps && !gst_caps_is_empty(caps) && !gst_caps_is_any(caps)
        && g_str_has_prefix(gst_structure_get_name(gst_caps_get_structure(caps, 0)), "audio/");
    if (caps)
        gst_caps_unref(caps);
    if (sound)
        gst_pad_add_probe(pad, GstPadProbeType(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
                          onDecodedSound, gst_object_ref(element), gst_object_unref);
}

void watchDecodedSound(GstElement *element)
{
    GstObject *decoder = gst_object_get_parent(GST_OBJECT(element));
    if (!decoder)
        return;
    g_signal_connect_object(decoder, "pad-added", G_CALLBACK(onDecodedPad), element, GConnectFlags(0));
    gst_object_unref(decoder);
}

bool startStreams(GstElement *element)
{
    SourceState &state = *asSource(element)->state;
    QString path;
    bool picturesWanted = true;
    CdgFrameLayout layout;
    {
        std::lock_guard lock(state.mutex);
        path = state.path;
        picturesWanted = state.picturesWanted;
        layout = state.layout;
    }
    const CdgSong song = findCdgSong(path);
    if (!song.playable()) {
        // Not a CD+G song any more: the .cdg beside it went after the song was opened.
        fail(element, song.isCdg ? song.problem : QStringLiteral("CDG 檔不見了"), song.fileMissing || !song.isCdg);
        return false;
    }
    QString problem;
    GstElement *sound = GstSongSoundFeed::create(song.sound, &problem);
    GstElement *pictures = picturesWanted && sound ? GstCdgPictureFeed::create(song.pictures, layout, &problem) : nullptr;
    if (!sound || (picturesWanted && !pictures)) {
        for (GstElement *made : {sound, pictures}) {
            if (made)
                gst_object_unref(gst_object_ref_sink(made));
        }
        fail(element, problem, true);
        return false;
    }
    if (pictures) {
        watchDecodedSound(element);
        offer(element, pictures, &picturesTemplate);
        std::lock_guard lock(state.mutex);
        state.pictures = pictures;
        state.soundEnd = 0;
    }
    offer(element, sound, &soundTemplate);
    gst_element_no_more_pads(element);
    return true;
}

// The objects of a list the element keeps, each with a reference of its own.
template<typename T>
std::vector<T *> referenced(GstElement *element, GList *const *list)
{
    std::vector<T *> objects;
    GST_OBJECT_LOCK(element);
    for (GList *item = *list; item; item = item->next)
        objects.push_back(static_cast<T *>(gst_object_ref(item->data)));
    GST_OBJECT_UNLOCK(element);
    return objects;
}

void stopStreams(GstElement *element)
{
    SourceState &state = *asSource(element)->state;
    {
        std::lock_guard lock(state.mutex);
        state.pictures = nullptr;
    }
    for (GstPad *pad : referenced<GstPad>(element, &element->srcpads)) {
        gst_element_remove_pad(element, pad);
        gst_object_unref(pad);
    }
    for (GstElement *child : referenced<GstElement>(element, &GST_BIN(element)->children)) {
        gst_element_set_state(child, GST_STATE_NULL);
        gst_bin_remove(GST_BIN(element), child);
        gst_object_unref(child);
    }
}

GstStateChangeReturn changeState(GstElement *element, GstStateChange transition)
{
    if (transition == GST_STATE_CHANGE_READY_TO_PAUSED && !startStreams(element))
        return GST_STATE_CHANGE_FAILURE;
    const GstStateChangeReturn result =
        GST_ELEMENT_CLASS(karaoke_cdg_src_parent_class)->change_state(element, transition);
    if (transition == GST_STATE_CHANGE_PAUSED_TO_READY)
        stopStreams(element);
    return result;
}

void finalize(GObject *object)
{
    delete asSource(object)->state;
    G_OBJECT_CLASS(karaoke_cdg_src_parent_class)->finalize(object);
}

GstURIType uriType(GType)
{
    return GST_URI_SRC;
}

const gchar *const *uriProtocols(GType)
{
    static const gchar *const protocols[] = {kScheme, nullptr};
    return protocols;
}

gchar *getUri(GstURIHandler *handler)
{
    SourceState &state = *asSource(handler)->state;
    std::lock_guard lock(state.mutex);
    return state.uri.isEmpty() ? nullptr : g_strdup(state.uri.toUtf8().constData());
}

gboolean setUri(GstURIHandler *handler, const gchar *uri, GError **error)
{
    const QString text = QString::fromUtf8(uri);
    const QString path = pathOfUri(text);
    if (path.isEmpty()) {
        g_set_error(error, GST_URI_ERROR, GST_URI_ERROR_BAD_URI, "not a CD+G song URI: %s", uri);
        return FALSE;
    }
    SourceState &state = *asSource(handler)->state;
    std::lock_guard lock(state.mutex);
    state.uri = text;
    state.path = path;
    return TRUE;
}

} // namespace

static void karaoke_cdg_src_uri_init(gpointer iface, gpointer)
{
    auto *handler = static_cast<GstURIHandlerInterface *>(iface);
    handler->get_type = uriType;
    handler->get_protocols = uriProtocols;
    handler->get_uri = getUri;
    handler->set_uri = setUri;
}

static void karaoke_cdg_src_class_init(KaraokeCdgSrcClass *klass)
{
    G_OBJECT_CLASS(klass)->finalize = finalize;
    auto *element = GST_ELEMENT_CLASS(klass);
    element->change_state = changeState;
    gst_element_class_add_static_pad_template(element, &picturesTemplate);
    gst_element_class_add_static_pad_template(element, &soundTemplate);
    gst_element_class_set_static_metadata(element, "CD+G song source", "Source/Audio/Video",
                                          "The pictures and the MP3 sound of a CD+G song", "karaoke");
}

static void karaoke_cdg_src_init(KaraokeCdgSrc *self)
{
    self->state = new SourceState;
    GST_OBJECT_FLAG_SET(self, GST_ELEMENT_FLAG_SOURCE);
}

QString GstCdgSource::uriFor(const QString &path)
{
    static std::once_flag registered;
    std::call_once(registered,
                   [] { gst_element_register(nullptr, "karaokecdgsrc", GST_RANK_PRIMARY, karaoke_cdg_src_get_type()); });
    if (!findCdgSong(path).isCdg)
        return {};
    gchar *fileUri = gst_filename_to_uri(QFile::encodeName(path).constData(), nullptr);
    if (!fileUri)
        return {};
    const QString uri = QLatin1String(kScheme) + QString::fromUtf8(fileUri + qstrlen(kFileScheme));
    g_free(fileUri);
    return uri;
}

bool GstCdgSource::isCdgSource(GstElement *element)
{
    return G_TYPE_CHECK_INSTANCE_TYPE(element, karaoke_cdg_src_get_type());
}

void GstCdgSource::setDisplay(GstElement *source, QSize size, bool fillDisplay)
{
    SourceState &state = *asSource(source)->state;
    std::lock_guard lock(state.mutex);
    state.layout = CdgFrameLayout::forDisplay(size.width(), size.height(), fillDisplay);
}

void GstCdgSource::setPicturesWanted(GstElement *source, bool wanted)
{
    SourceState &state = *asSource(source)->state;
    std::lock_guard lock(state.mutex);
    state.picturesWanted = wanted;
}
