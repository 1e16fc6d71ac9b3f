// Small routines shared by the windows: scaling a control, waiting with timers running, and
// telling a readable file.
#include "core/small_routines.h"
#include "platform/system_clock.h"

#include <QElapsedTimer>
#include <QFont>
#include <QRect>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// An object with a geometry and a font, like a control on a window.
class Control : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QRect geometry MEMBER geometry)
    Q_PROPERTY(QFont font MEMBER font)

public:
    QRect geometry{10, 20, 100, 40};
    QFont font{"細明體", 12};
};

// Only a position and size.
class Frame : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QRect geometry MEMBER geometry)

public:
    QRect geometry{10, 20, 100, 40};
};

TEST(SmallRoutines, ScaleControlScalesWhatTheObjectHas)
{
    Control c;
    ScaleControl(&c, 1.5);
    EXPECT_EQ(c.geometry, QRect(15, 30, 150, 60));
    EXPECT_DOUBLE_EQ(c.font.pointSizeF(), 18);
    EXPECT_EQ(c.font.family(), "標楷體");

    Frame f;
    ScaleControl(&f, 0.5);
    EXPECT_EQ(f.geometry, QRect(5, 10, 50, 20));
    QObject bare;
    ScaleControl(&bare, 2); // nothing to scale, nothing fails
    ScaleControl(nullptr, 2);
}

TEST(SmallRoutines, WaitingKeepsTimersRunning)
{
    SystemClock fast(100); // one second lasts 10 ms
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(1);
    QElapsedTimer elapsed;
    elapsed.start();
    WaitSeconds(fast, 3);
    EXPECT_GE(elapsed.elapsed(), 25);
    EXPECT_LT(elapsed.elapsed(), 1000);
    EXPECT_GT(ticks, 3);
}

} // namespace

#include "small_routines_test.moc"
