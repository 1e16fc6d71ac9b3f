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

// The elements the program asks for and their Debian packages, from the list the package's
// Depends are made of (packaging/runtime-packages.txt).
constexpr ElementPackage kPackages[] = {
#include "gst_element_packages.inc"
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
