#include "widgets/drawing_surface.h"
#include "support/qt_printers.h"

#include <QImage>

#include <gtest/gtest.h>

namespace {

TEST(DrawingSurface, KeepsWhatIsPrintedAndPaintsIt)
{
    DrawingSurface surface;
    surface.resize(400, 300);
    surface.setSurfaceFont(QFont("標楷體", 16));
    surface.Print("第一行");
    surface.Print();
    surface.PrintOnSameLine("A");
    surface.PrintOnSameLine("B");
    surface.Print("C");
    EXPECT_EQ(surface.screenLines(), QStringList({"第一行", "ABC"}));
    EXPECT_DOUBLE_EQ(surface.CurrentY, 3 * surface.lineHeight());
    EXPECT_DOUBLE_EQ(surface.CurrentX, 0);

    surface.CurrentX = 200;
    surface.CurrentY = 0;
    surface.Print("右");
    EXPECT_EQ(surface.screenLines().first(), "第一行 右") << "runs apart are read with a blank";

    surface.FillBox(QRectF(0, 290, 400, 2), Qt::green);
    QImage image(surface.size(), QImage::Format_RGB32);
    surface.render(&image);
    EXPECT_EQ(image.pixelColor(10, 290), QColor(Qt::green));
    int lit = 0;
    for (int x = 0; x < 100; ++x)
        lit += image.pixelColor(x, int(surface.lineHeight() / 2)).lightness() > 128;
    EXPECT_GT(lit, 3) << "the text is painted";

    surface.Cls();
    EXPECT_TRUE(surface.screenLines().isEmpty());
    EXPECT_DOUBLE_EQ(surface.CurrentY, 0);
}

} // namespace
