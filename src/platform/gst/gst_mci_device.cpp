#include "platform/gst/gst_mci_device.h"

#include "gst_bus_errors.h"
#include "gst_element_check.h"
#include "platform/gst/gst_runtime.h"

#include <QFile>
#include <QHash>
#include <QtEndian>

#include <gst/gst.h>

#include <memory>
#include <optional>

namespace {

constexpr qint64 kHeaderSize = 44;

// What the guest is told; the reason, for the owner, goes to the log.
QString told(const char *text, const QString &reason = QString())
{
    const QString told = QString::fromUtf8(text);
    qWarning("recorder: %s: %s", qPrintable(told), qPrintable(reason));
    return told;
}

const char kUnknownCommand[] = "無法辨識的指令";
const char kNotOpen[] = "裝置未開啟";
const char kFileNotFound[] = "找不到檔案";
const char kUnsupportedFormat[] = "不支援的 WAV 格式";
const char kNoCaptureDevice[] = "找不到錄音裝置";
const char kCannotWrite[] = "無法寫入檔案";
const char kCannotPlay[] = "無法播放";
const char kBusyRecording[] = "錄音中";
const char kRecordingStopped[] = "錄音中斷";
const char kPlayingStopped[] = "播放中斷";

struct WavFormat
{
    int rate = 0;
    int bits = 0;
    int channels = 0;
};

const char *rawFormatName(int bits)
{
    switch (bits) {
    case 8: return "U8";
    case 16: return "S16LE";
    case 24: return "S24LE";
    case 32: return "S32LE";
    default: return nullptr;
    }
}

std::optional<WavFormat> readWavFormat(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray header = file.read(kHeaderSize);
    if (header.size() < kHeaderSize || !header.startsWith("RIFF")
        || header.mid(8, 8) != "WAVEfmt " || header.mid(36, 4) != "data")
        return std::nullopt;
    const char *bytes = header.constData();
    if (qFromLittleEndian<quint16>(bytes + 20) != 1)
        return std::nullopt;
    const WavFormat format{int(qFromLittleEndian<quint32>(bytes + 24)),
                           qFromLittleEndian<quint16>(bytes + 34),
                           qFromLittleEndian<quint16>(bytes + 22)};
    if (format.rate <= 0 || format.channels <= 0 || !rawFormatName(format.bits))
        return std::nullopt;
    return format;
}

// Opens a file that must already be there: a take deleted meanwhile is not made again.
bool openExisting(QFile &file)
{
    return file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly);
}

bool writeSizes(QFile &file, qint64 length)
{
    const quint32 riffSize = qToLittleEndian(quint32(length - 8));
    const quint32 dataSize = qToLittleEndian(quint32(length - kHeaderSize));
    return file.seek(4) && file.write(reinterpret_cast<const char *>(&riffSize), 4) == 4
        && file.seek(40) && file.write(reinterpret_cast<const char *>(&dataSize), 4) == 4;
}

// Drops everything after the header, so a take that never started leaves a valid empty WAV.
bool resetToHeader(const QString &path)
{
    QFile file(path);
    return openExisting(file) && file.resize(kHeaderSize) && writeSizes(file, kHeaderSize);
}

bool fixSizes(const QString &path)
{
    QFile file(path);
    return openExisting(file) && file.size() >= kHeaderSize && writeSizes(file, file.size());
}

void destroyPipeline(GstElement *&pipeline)
{
    if (!pipeline)
        return;
    GstBus *bus = gst_element_get_bus(pipeline);
    gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
    gst_object_unref(bus);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    pipeline = nullptr;
}

GstElement *parseBin(const QString &description, QString *error)
{
    GError *parseError = nullptr;
    GstElement *bin = gst_parse_bin_from_description(description.toUtf8().constData(), TRUE,
                                                     &parseError);
    if (!parseError)
        return bin;
    *error = QString::fromUtf8(parseError->message);
    g_clear_error(&parseError);
    if (bin)
        gst_object_unref(bin);
    return nullptr;
}

GstElement *makeCapsFilter(const WavFormat &format)
{
    GstElement *filter = gst_element_factory_make("capsfilter", nullptr);
    if (!filter)
        return nullptr;
    GstCaps *caps = gst_caps_new_simple("audio/x-raw", "format", G_TYPE_STRING,
                                        rawFormatName(format.bits), "layout", G_TYPE_STRING,
                                        "interleaved", "rate", G_TYPE_INT, format.rate,
                                        "channels", G_TYPE_INT, format.channels, nullptr);
    g_object_set(filter, "caps", caps, nullptr);
    gst_caps_unref(caps);
    return filter;
}

// source ! audioconvert ! audioresample ! caps of the header ! filesink appending, unbuffered,
// so every captured block is on disk at once and a killed program loses nothing written.
GstElement *buildRecorder(const QString &source, const WavFormat &format, const QString &path,
                          QString *error)
{
    GstElement *src = parseBin(source, error);
    if (!src)
        return nullptr;
    GstElement *pipeline = gst_pipeline_new("recorder");
    GstElement *convert = gst_element_factory_make("audioconvert", nullptr);
    GstElement *resample = gst_element_factory_make("audioresample", nullptr);
    GstElement *filter = makeCapsFilter(format);
    GstElement *sink = gst_element_factory_make("filesink", nullptr);
    gst_bin_add(GST_BIN(pipeline), src);
    for (GstElement *element : {convert, resample, filter, sink}) {
        if (element)
            gst_bin_add(GST_BIN(pipeline), element);
    }
    if (!convert || !resample || !filter || !sink
        || !gst_element_link_many(src, convert, resample, filter, sink, nullptr)) {
        const QString missing = GstElementCheck::missing({"audioconvert", "audioresample", "capsfilter", "filesink"});
        *error = missing.isEmpty() ? QStringLiteral("cannot connect the capture source") : missing;
        gst_object_unref(pipeline);
        return nullptr;
    }
    g_object_set(sink, "location", QFile::encodeName(path).constData(), "append", TRUE, nullptr);
    gst_util_set_object_arg(G_OBJECT(sink), "buffer-mode", "unbuffered");
    return pipeline;
}

GstElement *buildPlayer(const QString &path, const QString &sinkDescription, QString *error)
{
    GError *uriError = nullptr;
    gchar *uri = gst_filename_to_uri(QFile::encodeName(path).constData(), &uriError);
    if (!uri) {
        *error = QString::fromUtf8(uriError ? uriError->message : "bad file name");
        g_clear_error(&uriError);
        return nullptr;
    }
    GstElement *player = gst_element_factory_make("playbin", "player");
    if (!player) {
        g_free(uri);
        *error = GstElementCheck::missing({"playbin"});
        return nullptr;
    }
    g_object_set(player, "uri", uri, nullptr);
    g_free(uri);
    if (sinkDescription.isEmpty())
        return player;
    GstElement *sink = parseBin(sinkDescription, error);
    if (!sink) {
        gst_object_unref(player);
        return nullptr;
    }
    g_object_set(player, "audio-sink", sink, nullptr);
    return player;
}

struct OpenArgument
{
    QString path;
    QString alias;
};

// "FILE alias NAME" where FILE may be quoted and may hold blanks.
std::optional<OpenArgument> parseOpenArgument(const QString &argument)
{
    const QString keyword = QStringLiteral(" alias ");
    const qsizetype at = argument.lastIndexOf(keyword, -1, Qt::CaseInsensitive);
    if (at < 0)
        return std::nullopt;
    QString path = argument.left(at).trimmed();
    if (path.size() >= 2 && path.startsWith(QLatin1Char('"')) && path.endsWith(QLatin1Char('"')))
        path = path.mid(1, path.size() - 2);
    const QString alias = argument.mid(at + keyword.size()).trimmed();
    if (path.isEmpty() || alias.isEmpty() || alias.contains(QLatin1Char(' ')))
        return std::nullopt;
    return OpenArgument{path, alias};
}

// When the capture source is an element this machine lacks, the message that names its
// Debian package; empty otherwise (a device that is there but cannot open is another matter).
QString missingCaptureElement(const QString &source)
{
    const QByteArray element = source.section(QLatin1Char(' '), 0, 0).toLatin1();
    if (GstElementCheck::packageOf(element.constData()).isEmpty())
        return {};
    return GstElementCheck::missing({element.constData()});
}

} // namespace

struct GstMciDevice::Private
{
    enum class Role { Recorder, Player };
    struct BusWatch
    {
        Private *d;
        int role;
        unsigned generation;
    };

    explicit Private(GstMciDevice &owner)
        : device(owner)
    {
    }

    void watch(GstElement *pipeline, Role role);
    void onMessage(Role role, GstMessage *message);
    void stopRecorder();
    void stopPlayer();

    GstMciDevice &device;
    QString captureSource;
    QString playSink;
    QString path;
    QString alias;
    GstElement *recorder = nullptr;
    GstElement *player = nullptr;
    // Bumped whenever a pipeline of that role goes, so that what its bus posted before is
    // recognised as stale.
    unsigned generation[2] = {0, 0};
};

// Bus messages reach the user-interface thread as queued calls, tagged with the generation
// of the pipeline that posted them; no command ever waits on the bus.
void GstMciDevice::Private::watch(GstElement *pipeline, Role role)
{
    auto *tag = new BusWatch{this, int(role), generation[int(role)]};
    const auto handler = [](GstBus *, GstMessage *message, gpointer data) -> GstBusSyncReply {
        const BusWatch watch = *static_cast<BusWatch *>(data);
        const GstMessageType type = GST_MESSAGE_TYPE(message);
        if (type == GST_MESSAGE_WARNING) {
            GError *error = nullptr;
            gst_message_parse_warning(message, &error, nullptr);
            qWarning("recorder warning from %s: %s", GST_MESSAGE_SRC_NAME(message), error ? error->message : "");
            g_clear_error(&error);
        }
        if (type != GST_MESSAGE_ERROR && type != GST_MESSAGE_EOS) {
            gst_message_unref(message);
            return GST_BUS_DROP;
        }
        // Owned by the queued call, which is dropped unrun if the device goes first.
        std::shared_ptr<GstMessage> owned(message, gst_message_unref);
        QMetaObject::invokeMethod(&watch.d->device, [watch, owned] {
            if (watch.generation == watch.d->generation[watch.role])
                watch.d->onMessage(Role(watch.role), owned.get());
        }, Qt::QueuedConnection);
        return GST_BUS_DROP;
    };
    GstBus *bus = gst_element_get_bus(pipeline);
    gst_bus_set_sync_handler(bus, handler, tag, [](gpointer data) { delete static_cast<BusWatch *>(data); });
    // What the pipeline posted before the handler was there waits on the bus.
    while (GstMessage *message = gst_bus_pop(bus))
        handler(bus, message, tag);
    gst_object_unref(bus);
}

void GstMciDevice::Private::onMessage(Role role, GstMessage *message)
{
    const bool failed = GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR;
    const QString reason = failed ? GstBusErrors::textOf(message) : QString();
    if (role == Role::Player) {
        if (!failed) {
            gst_element_set_state(player, GST_STATE_READY);
            return;
        }
        stopPlayer();
        emit device.failed(told(kPlayingStopped, reason));
        return;
    }
    // What was captured stays in the file, and "save" still fixes its sizes. A source that
    // failed before its first samples never recorded: the file keeps its empty header.
    stopRecorder();
    if (!failed)
        return;
    const bool captured = QFile(path).size() > kHeaderSize;
    if (!captured)
        resetToHeader(path);
    emit device.failed(told(captured ? kRecordingStopped : kNoCaptureDevice, reason));
}

void GstMciDevice::Private::stopRecorder()
{
    if (!recorder)
        return;
    destroyPipeline(recorder);
    ++generation[int(Role::Recorder)];
}

void GstMciDevice::Private::stopPlayer()
{
    if (!player)
        return;
    destroyPipeline(player);
    ++generation[int(Role::Player)];
}

GstMciDevice::GstMciDevice(const QString &captureSource, const QString &playSink, QObject *parent)
    : MciDevice(parent)
    , m_d(std::make_unique<Private>(*this))
{
    GstRuntime::ensureInitialized();
    m_d->captureSource = captureSource;
    m_d->playSink = playSink;
}

GstMciDevice::~GstMciDevice()
{
    close();
}

QString GstMciDevice::sendString(const QString &command)
{
    const QString text = command.trimmed();
    const qsizetype space = text.indexOf(QLatin1Char(' '));
    const QString verb = text.left(space < 0 ? text.size() : space).toLower();
    const QString argument = space < 0 ? QString() : text.mid(space + 1).trimmed();
    if (verb == QLatin1String("open"))
        return open(argument);

    using Handler = QString (GstMciDevice::*)();
    static const QHash<QString, Handler> handlers = {
        {QStringLiteral("record"), &GstMciDevice::record},
        {QStringLiteral("save"), &GstMciDevice::save},
        {QStringLiteral("close"), &GstMciDevice::close},
        {QStringLiteral("play"), &GstMciDevice::play},
        {QStringLiteral("pause"), &GstMciDevice::pause},
        {QStringLiteral("resume"), &GstMciDevice::resume},
        {QStringLiteral("stop"), &GstMciDevice::stop},
    };
    const auto handler = handlers.constFind(verb);
    if (handler == handlers.constEnd() || argument.isEmpty())
        return told(kUnknownCommand, command);
    const bool isOpen = !m_d->path.isEmpty()
        && argument.compare(m_d->alias, Qt::CaseInsensitive) == 0;
    // Closing what is not open is harmless: every opening sequence starts with "close".
    if (!isOpen)
        return verb == QLatin1String("close") ? QString() : told(kNotOpen, command);
    return (this->*handler.value())();
}

QString GstMciDevice::open(const QString &argument)
{
    const std::optional<OpenArgument> parsed = parseOpenArgument(argument);
    if (!parsed)
        return told(kUnknownCommand, QStringLiteral("open ") + argument);
    close();
    if (!QFile::exists(parsed->path))
        return told(kFileNotFound, parsed->path);
    m_d->path = parsed->path;
    m_d->alias = parsed->alias;
    return {};
}

// Starts the capture and returns at once; a source that fails once running is reported
// through failed(). A source that cannot even start is the reply.
QString GstMciDevice::record()
{
    if (m_d->recorder) {
        gst_element_set_state(m_d->recorder, GST_STATE_PLAYING);
        return {};
    }
    m_d->stopPlayer();
    const std::optional<WavFormat> format = readWavFormat(m_d->path);
    if (!format)
        return told(kUnsupportedFormat, m_d->path);
    if (!resetToHeader(m_d->path))
        return told(kCannotWrite, m_d->path);
    const QString missing = missingCaptureElement(m_d->captureSource);
    if (!missing.isEmpty()) {
        qWarning("recorder: %s", qPrintable(missing));
        return missing;
    }
    QString error;
    GstElement *recorder = buildRecorder(m_d->captureSource, *format, m_d->path, &error);
    if (!recorder)
        return told(kNoCaptureDevice, error);
    if (gst_element_set_state(recorder, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        error = GstBusErrors::takeFirst(recorder);
        destroyPipeline(recorder);
        resetToHeader(m_d->path);
        return told(kNoCaptureDevice, error.isEmpty() ? QStringLiteral("cannot start") : error);
    }
    m_d->watch(recorder, Private::Role::Recorder);
    m_d->recorder = recorder;
    return {};
}

QString GstMciDevice::save()
{
    m_d->stopRecorder();
    return fixSizes(m_d->path) ? QString() : told(kCannotWrite, m_d->path);
}

QString GstMciDevice::close()
{
    m_d->stopRecorder();
    m_d->stopPlayer();
    m_d->path.clear();
    m_d->alias.clear();
    return {};
}

QString GstMciDevice::play()
{
    if (m_d->recorder)
        return told(kBusyRecording, m_d->path);
    if (!m_d->player) {
        QString error;
        GstElement *player = buildPlayer(m_d->path, m_d->playSink, &error);
        if (!player)
            return told(kCannotPlay, error);
        if (gst_element_set_state(player, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
            error = GstBusErrors::takeFirst(player);
            destroyPipeline(player);
            return told(kCannotPlay, error);
        }
        m_d->watch(player, Private::Role::Player);
        m_d->player = player;
        return {};
    }
    gst_element_set_state(m_d->player, GST_STATE_PLAYING);
    return {};
}

QString GstMciDevice::pause()
{
    GstElement *active = m_d->recorder ? m_d->recorder : m_d->player;
    if (active)
        gst_element_set_state(active, GST_STATE_PAUSED);
    return {};
}

QString GstMciDevice::resume()
{
    GstElement *active = m_d->recorder ? m_d->recorder : m_d->player;
    if (active)
        gst_element_set_state(active, GST_STATE_PLAYING);
    return {};
}

QString GstMciDevice::stop()
{
    m_d->stopRecorder();
    if (m_d->player)
        gst_element_set_state(m_d->player, GST_STATE_READY);
    return {};
}
