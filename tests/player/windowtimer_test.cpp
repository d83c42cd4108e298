// The window's timers: an interval of 0 keeps an enabled timer silent (a
// "StopTime" that is not a number stops the show instead of racing it), and
// a later interval makes it fire again.

// ours
#include "windowtimer.h"

// Qt
#include <QCoreApplication>
#include <QElapsedTimer>

// gtest
#include <gtest/gtest.h>

namespace tarnwick {
namespace {

int ticksWithin(WindowTimer& timer, int ms)
{
    int ticks = 0;
    const auto c = QObject::connect(&timer, &WindowTimer::timeout, [&] { ++ticks; });
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QObject::disconnect(c);
    return ticks;
}

TEST(WindowTimer, FiresOnlyWhileEnabledWithAnIntervalAbove0)
{
    WindowTimer timer;
    timer.setInterval(0);
    timer.start();
    EXPECT_TRUE(timer.isActive());
    EXPECT_EQ(ticksWithin(timer, 60), 0);
    timer.setInterval(5);
    EXPECT_GT(ticksWithin(timer, 60), 0);
    timer.stop();
    EXPECT_EQ(ticksWithin(timer, 30), 0);
    timer.setInterval(-3);
    EXPECT_EQ(timer.interval(), 0);
}

} // namespace
} // namespace tarnwick
