#include "platform/gst/gst_mci_device.h"

#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QTimer>
#include <QtEndian>

#include <gst/gst.h>

#include <optional>

namespace {

constexpr qint64 kHeaderSize = 44;
constexpr qint64 kStartTimeoutMs = 3000;
constexpr GstClockTime kDrainTimeout = GST_SECOND;
constexpr GstClockTime kStartPollInterval = 20 * GST_MSECOND;
constexpr int kBusPollMs = 50;

QString unknownCommand(const QString &command)
{
    return QStringLiteral("無法辨識的指令 (unknown command): ") + command;
}

QString notOpen(const QString &alias)
{
    return QStringLiteral("裝置未開啟 (no file open): ") + alias;
}

QString fileNotFound(const QString &path)
{
    return QStringLiteral("找不到檔案 (file not found): ") + path;
}

QString unsupportedFormat(const QString &path)
{
    return QStringLiteral("不支援的 WAV 格式 (not a PCM WAV file): ") + path;
}

QString noCaptureDevice(const QString &detail)
{
    return QStringLiteral("找不到錄音裝置 (capture source not available): ") + detail;
}

QString cannotWrite(const QString &path)
{
    return QStringLiteral("無法寫入檔案 (cannot write file): ") + path;
}

QString cannotPlay(const QString &detail)
{
    return QStringLiteral("無法播放 (cannot play): ") + detail;
}

QString busyRecording()
{
    return QStringLiteral("錄音中 (recording in progress)");
}

QString recordingFailed(const QString &detail)
{
    return QStringLiteral("錄音中斷 (recording stopped): ") + detail;
}

QString playingFailed(const QString &detail)
{
    return QStringLiteral("播放中斷 (playback stopped): ") + detail;
}

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
    return file.open(QIODevice::ReadWrite) && file.resize(kHeaderSize)
        && writeSizes(file, kHeaderSize);
}

bool fixSizes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadWrite) && file.size() >= kHeaderSize
        && writeSizes(file, file.size());
}

QString errorText(GstMessage *message)
{
    GError *error = nullptr;
    gchar *debug = nullptr;
    gst_message_parse_error(message, &error, &debug);
    const QString text = QString::fromUtf8(error ? error->message : "unknown error");
    g_clear_error(&error);
    g_free(debug);
    return text;
}

QString popError(GstElement *pipeline, GstClockTime timeout)
{
    GstBus *bus = gst_element_get_bus(pipeline);
    GstMessage *message = gst_bus_timed_pop_filtered(bus, timeout, GST_MESSAGE_ERROR);
    gst_object_unref(bus);
    if (!message)
        return {};
    const QString text = errorText(message);
    gst_message_unref(message);
    return text;
}

void destroyPipeline(GstElement *&pipeline)
{
    if (!pipeline)
        return;
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
        *error = QStringLiteral("cannot connect the capture source");
        gst_object_unref(pipeline);
        return nullptr;
    }
    g_object_set(sink, "location", QFile::encodeName(path).constData(), "append", TRUE, nullptr);
    gst_util_set_object_arg(G_OBJECT(sink), "buffer-mode", "unbuffered");
    return pipeline;
}

// A live source reaches PLAYING only once the file has its first samples; a source that
// cannot open posts an error instead.
QString startRecorder(GstElement *pipeline)
{
    if (gst_element_set_state(pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        const QString error = popError(pipeline, 0);
        return error.isEmpty() ? QStringLiteral("cannot start") : error;
    }
    QElapsedTimer elapsed;
    elapsed.start();
    while (elapsed.elapsed() < kStartTimeoutMs) {
        const QString error = popError(pipeline, kStartPollInterval);
        if (!error.isEmpty())
            return error;
        GstState state = GST_STATE_NULL;
        if (gst_element_get_state(pipeline, &state, nullptr, 0) == GST_STATE_CHANGE_SUCCESS
            && state == GST_STATE_PLAYING)
            return {};
    }
    return QStringLiteral("no samples arrived");
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
        *error = QStringLiteral("playbin is missing");
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

} // namespace

struct GstMciDevice::Private
{
    QString captureSource;
    QString playSink;
    QString path;
    QString alias;
    GstElement *recorder = nullptr;
    GstElement *player = nullptr;
    QTimer busTimer;
};

GstMciDevice::GstMciDevice(const QString &captureSource, const QString &playSink, QObject *parent)
    : MciDevice(parent)
    , m_d(std::make_unique<Private>())
{
    if (!gst_is_initialized())
        gst_init(nullptr, nullptr);
    m_d->captureSource = captureSource;
    m_d->playSink = playSink;
    m_d->busTimer.setInterval(kBusPollMs);
    connect(&m_d->busTimer, &QTimer::timeout, this, &GstMciDevice::pollBus);
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
        return unknownCommand(command);
    const bool isOpen = !m_d->path.isEmpty()
        && argument.compare(m_d->alias, Qt::CaseInsensitive) == 0;
    // Closing what is not open is harmless: every opening sequence starts with "close".
    if (!isOpen)
        return verb == QLatin1String("close") ? QString() : notOpen(argument);
    return (this->*handler.value())();
}

QString GstMciDevice::open(const QString &argument)
{
    const std::optional<OpenArgument> parsed = parseOpenArgument(argument);
    if (!parsed)
        return unknownCommand(QStringLiteral("open ") + argument);
    close();
    if (!QFile::exists(parsed->path))
        return fileNotFound(parsed->path);
    m_d->path = parsed->path;
    m_d->alias = parsed->alias;
    return {};
}

QString GstMciDevice::record()
{
    if (m_d->recorder) {
        gst_element_set_state(m_d->recorder, GST_STATE_PLAYING);
        return {};
    }
    stopPlayer();
    const std::optional<WavFormat> format = readWavFormat(m_d->path);
    if (!format)
        return unsupportedFormat(m_d->path);
    if (!resetToHeader(m_d->path))
        return cannotWrite(m_d->path);
    QString error;
    GstElement *recorder = buildRecorder(m_d->captureSource, *format, m_d->path, &error);
    if (recorder)
        error = startRecorder(recorder);
    if (!error.isEmpty()) {
        destroyPipeline(recorder);
        resetToHeader(m_d->path);
        return noCaptureDevice(error);
    }
    m_d->recorder = recorder;
    updateBusTimer();
    return {};
}

QString GstMciDevice::save()
{
    finishRecording();
    return fixSizes(m_d->path) ? QString() : cannotWrite(m_d->path);
}

QString GstMciDevice::close()
{
    finishRecording();
    stopPlayer();
    m_d->path.clear();
    m_d->alias.clear();
    return {};
}

QString GstMciDevice::play()
{
    if (m_d->recorder)
        return busyRecording();
    if (!m_d->player) {
        QString error;
        m_d->player = buildPlayer(m_d->path, m_d->playSink, &error);
        if (!m_d->player)
            return cannotPlay(error);
    }
    if (gst_element_set_state(m_d->player, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        const QString error = popError(m_d->player, 0);
        stopPlayer();
        return cannotPlay(error);
    }
    updateBusTimer();
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
    finishRecording();
    if (m_d->player)
        gst_element_set_state(m_d->player, GST_STATE_READY);
    return {};
}

// Lets the converter hand on its last samples before the file is closed.
void GstMciDevice::finishRecording()
{
    if (!m_d->recorder)
        return;
    GstState state = GST_STATE_NULL;
    gst_element_get_state(m_d->recorder, &state, nullptr, 0);
    if (state == GST_STATE_PLAYING) {
        gst_element_send_event(m_d->recorder, gst_event_new_eos());
        GstBus *bus = gst_element_get_bus(m_d->recorder);
        GstMessage *message = gst_bus_timed_pop_filtered(
            bus, kDrainTimeout, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
        if (message)
            gst_message_unref(message);
        gst_object_unref(bus);
    }
    destroyPipeline(m_d->recorder);
    updateBusTimer();
}

void GstMciDevice::stopPlayer()
{
    destroyPipeline(m_d->player);
    updateBusTimer();
}

void GstMciDevice::updateBusTimer()
{
    if (m_d->recorder || m_d->player)
        m_d->busTimer.start();
    else
        m_d->busTimer.stop();
}

// Bus messages are read on this thread, so failures reach listeners as ordinary signals.
void GstMciDevice::pollBus()
{
    const auto popMessage = [](GstElement *pipeline) -> GstMessage * {
        if (!pipeline)
            return nullptr;
        GstBus *bus = gst_element_get_bus(pipeline);
        GstMessage *message = gst_bus_pop_filtered(
            bus, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
        gst_object_unref(bus);
        return message;
    };

    QString failure;
    while (GstMessage *message = popMessage(m_d->recorder)) {
        if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR)
            failure = recordingFailed(errorText(message));
        gst_message_unref(message);
        // What was captured stays in the file; "save" still fixes its sizes.
        destroyPipeline(m_d->recorder);
    }
    while (GstMessage *message = popMessage(m_d->player)) {
        if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
            failure = playingFailed(errorText(message));
            gst_message_unref(message);
            stopPlayer();
            break;
        }
        gst_message_unref(message);
        gst_element_set_state(m_d->player, GST_STATE_READY);
    }
    updateBusTimer();
    if (!failure.isEmpty())
        emit failed(failure);
}
