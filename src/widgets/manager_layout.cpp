#include "widgets/manager_layout.h"

#include "core/small_routines.h"

#include <QWidget>

namespace {

constexpr int kManagerFontPixels = 15;

const QStringList kScaledPrefixes = {QStringLiteral("lab"), QStringLiteral("txt"), QStringLiteral("cmd"),
                                     QStringLiteral("frm"), QStringLiteral("lst"), QStringLiteral("cmb"),
                                     QStringLiteral("prg")};

bool isScaledControl(const QWidget *widget)
{
    for (const QString &prefix : kScaledPrefixes) {
        if (widget->objectName().startsWith(prefix, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

} // namespace

void fitManagerWindow(QWidget &window, QSize screen, double widthShare)
{
    const double factor = screen.width() * widthShare / qMax(1, window.width());
    QList<QWidget *> controls = window.findChildren<QWidget *>();
    controls.removeIf([](const QWidget *control) { return !isScaledControl(control); });
    // Each control holds its own font first, so scaling the window's font does not scale theirs twice.
    for (QWidget *control : controls)
        control->setFont(control->font());
    ScaleControl(&window, factor);
    for (QWidget *control : controls)
        ScaleControl(control, factor);
    window.move((screen.width() - window.width()) / 2, (screen.height() - window.height()) / 2);
}

void setManagerFont(QWidget &window)
{
    QFont font(kScreenFontName);
    font.setPixelSize(kManagerFontPixels);
    window.setFont(font);
}
