// RealHost hands the engine's requests to what the window and the player
// plug in (or falls back to defaults), and lets queued window events run.
// Its clock and sleeping are real, so they are measured by hand, not here.

// ours
#include "realhost.h"
#include "surface.h"

// Qt
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMetaObject>
#include <QStringList>

#include <gtest/gtest.h>

using namespace tarnwick;

TEST(RealHost, HandsEachRequestToTheCallbackItsOwnerSet)
{
    for (const bool plugged : {true, false}) {
        SCOPED_TRACE(plugged);
        RealHost host;
        QStringList asked, failures;
        const Surface* refreshed = nullptr;
        if (plugged) {
            host.setSettingReader([&](const QString& section, const QString& key, const QString& def) {
                asked << section + '/' + key + '/' + def;
                return QStringLiteral("42");
            });
            host.setRefreshHandler([&](const Surface& s) { refreshed = &s; });
            host.setFailureHandler([&](const QString& d) { failures << d; });
        }
        Surface display(4, 3);
        EXPECT_EQ(host.readSetting("Mask", "MaskTimes", "400"), plugged ? "42" : "400");
        host.refresh(display);
        host.showFailure("Overflow");
        EXPECT_EQ(asked, plugged ? QStringList{"Mask/MaskTimes/400"} : QStringList{});
        EXPECT_EQ(refreshed, plugged ? &display : nullptr);
        EXPECT_EQ(failures, plugged ? QStringList{"Overflow"} : QStringList{});
        // Window events queued meanwhile run when the engine lets them.
        int ran = 0;
        QMetaObject::invokeMethod(QCoreApplication::instance(), [&] { ++ran; }, Qt::QueuedConnection);
        host.doEvents();
        EXPECT_EQ(ran, 1);
    }
}

TEST(RealHost, AFrameIntervalHoldsFramesBackAndShowsTheLastWhenItIsOver)
{
    RealHost host;
    int shown = 0;
    host.setRefreshHandler([&](const Surface&) { ++shown; });
    host.setFrameInterval(40);
    Surface display(4, 3);
    for (int i = 0; i < 3; ++i)
        host.refresh(display);
    EXPECT_EQ(shown, 1);
    // Events run at most once an interval too.
    int ran = 0;
    host.doEvents();
    QMetaObject::invokeMethod(QCoreApplication::instance(), [&] { ++ran; }, Qt::QueuedConnection);
    host.doEvents();
    EXPECT_EQ(ran, 0);
    // The frame held back comes on once its interval is over.
    QElapsedTimer waited;
    waited.start();
    while (shown < 2 && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    EXPECT_EQ(shown, 2);
    EXPECT_EQ(ran, 1);
    // Without an interval a held frame comes on at once, and every frame after it.
    host.refresh(display);
    host.setFrameInterval(0);
    host.refresh(display);
    EXPECT_EQ(shown, 4);
}
