#include "core/small_routines.h"

#include "platform/screen_fonts.h"
#include "platform/clock.h"
#include "platform/file_system.h"

#include <QFont>
#include <QObject>
#include <QRect>
#include <QVariant>

#include <cmath>

namespace {

int scaled(int value, double factor)
{
    return int(std::lround(value * factor));
}

void scaleGeometry(QObject *object, double factor)
{
    const QVariant geometry = object->property("geometry");
    if (!geometry.canConvert<QRect>())
        return;
    const QRect r = geometry.toRect();
    object->setProperty("geometry", QRect(scaled(r.left(), factor), scaled(r.top(), factor),
                                          scaled(r.width(), factor), scaled(r.height(), factor)));
}

void scaleFont(QObject *object, double factor)
{
    const QVariant value = object->property("font");
    if (!value.canConvert<QFont>())
        return;
    QFont font = value.value<QFont>();
    if (font.pixelSize() > 0)
        font.setPixelSize(qMax(1, scaled(font.pixelSize(), factor)));
    else if (font.pointSizeF() > 0)
        font.setPointSizeF(qMax(1.0, font.pointSizeF() * factor));
    font.setFamily(kScreenFontName);
    object->setProperty("font", font);
}

} // namespace

void ScaleControl(QObject *object, double factor)
{
    if (!object || !std::isfinite(factor) || factor <= 0)
        return;
    scaleGeometry(object, factor);
    scaleFont(object, factor);
}

void WaitSeconds(Clock &clock, double seconds)
{
    clock.waitSeconds(seconds);
}

bool FileExists(const FileSystem &fs, const QString &path)
{
    return fs.fileExists(path);
}
