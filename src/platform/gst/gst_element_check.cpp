#include "gst_element_check.h"

#include <QStringList>

#include <gst/gst.h>

#include <cstring>

namespace {

struct ElementPackage
{
    const char *element;
    const char *package;
};

// Debian 12's packaging of the elements the player, the recorder and their tests use.
constexpr ElementPackage kPackages[] = {
    {"playbin", "gstreamer1.0-plugins-base"},        {"audioconvert", "gstreamer1.0-plugins-base"},
    {"audioresample", "gstreamer1.0-plugins-base"},  {"appsink", "gstreamer1.0-plugins-base"},
    {"videoconvert", "gstreamer1.0-plugins-base"},   {"audiotestsrc", "gstreamer1.0-plugins-base"},
    {"audiochannelmix", "gstreamer1.0-plugins-bad"}, {"pitch", "gstreamer1.0-plugins-bad"},
    {"fluiddec", "gstreamer1.0-plugins-bad"},        {"autoaudiosink", "gstreamer1.0-plugins-good"},
    {"audiobuffersplit", "gstreamer1.0-plugins-bad"}, {"audioamplify", "gstreamer1.0-plugins-good"},
    {"rglimiter", "gstreamer1.0-plugins-good"},       {"uridecodebin", "gstreamer1.0-plugins-base"},
    {"autoaudiosrc", "gstreamer1.0-plugins-good"},   {"pulsesrc", "gstreamer1.0-pulseaudio"},
    {"alsasrc", "gstreamer1.0-alsa"},                {"xvimagesink", "gstreamer1.0-x"},
    {"ximagesink", "gstreamer1.0-x"},                {"glimagesink", "gstreamer1.0-gl"},
    {"capsfilter", "libgstreamer1.0-0"},             {"filesink", "libgstreamer1.0-0"},
    {"fakesink", "libgstreamer1.0-0"},
};

bool installed(const char *element)
{
    GstElementFactory *factory = gst_element_factory_find(element);
    if (!factory)
        return false;
    gst_object_unref(factory);
    return true;
}

} // namespace

QString GstElementCheck::packageOf(const char *element)
{
    for (const ElementPackage &entry : kPackages) {
        if (std::strcmp(entry.element, element) == 0)
            return QString::fromLatin1(entry.package);
    }
    return {};
}

QString GstElementCheck::missing(std::initializer_list<const char *> elements)
{
    QStringList names;
    QStringList packages;
    for (const char *element : elements) {
        if (installed(element))
            continue;
        names.append(QString::fromLatin1(element));
        const QString package = packageOf(element);
        if (!package.isEmpty() && !packages.contains(package))
            packages.append(package);
    }
    if (names.isEmpty())
        return {};
    QString message = QStringLiteral("缺少 GStreamer 元件 ") + names.join(QStringLiteral(", "));
    if (!packages.isEmpty())
        message += QStringLiteral(", 請安裝 ") + packages.join(QStringLiteral(" "));
    return message;
}
