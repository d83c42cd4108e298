// The saver's start and stop sequences on a platform that records them.

// ours
#include "screensaver.h"

// Qt
#include <QStringList>

// gtest
#include <gtest/gtest.h>

namespace tarnwick {
namespace {

struct RecordingPlatform : SaverPlatform {
    QRect desktop{0, 0, 2560, 1024};
    std::optional<bool> password;
    QStringList calls;
    int cursor = 0; // shows minus hides

    QRect desktopRect() override { return desktop; }
    QRect hostRect(std::int32_t) override { return {0, 0, 152, 112}; }
    void coverDesktop(const QRect& r) override { calls << QStringLiteral("cover %1x%2").arg(r.width()).arg(r.height()); }
    void embedInto(std::int32_t host, const QRect& r) override
    {
        calls << QStringLiteral("embed %1 %2,%3 %4x%5").arg(host).arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
    }
    void showCursor(bool show) override
    {
        cursor += show ? 1 : -1;
        calls << (show ? "cursor+" : "cursor-");
    }
    void inhibitDesktopSaver(bool on) override { calls << (on ? "inhibit" : "uninhibit"); }
    std::optional<bool> verifyPassword() override
    {
        calls << "password?";
        return password;
    }
};

TEST(ScreenSaverControl, StartsAndStopsInOrderAndKeepsRunningWhenItMust)
{
    struct Case {
        const char* name;
        std::optional<bool> password;
        bool desktopChanged;
        bool ended;
        QStringList stopCalls;
        bool cursorShown;
    };
    const Case cases[] = {
        {"no password check (Linux)", std::nullopt, false, true, {"cursor+", "password?", "cursor+", "uninhibit"}, true},
        {"password accepted", true, false, true, {"cursor+", "password?", "cursor+", "uninhibit"}, true},
        {"password refused", false, false, false, {"cursor+", "password?", "cursor-"}, false},
        {"desktop width changed", std::nullopt, true, false, {"cover 1280x1024"}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingPlatform platform;
        platform.password = c.password;
        ScreenSaverControl control(platform);
        control.StartScreenSaver(std::nullopt);
        EXPECT_EQ(platform.calls, QStringList({"cover 2560x1024", "cursor-", "inhibit"}));
        EXPECT_EQ(control.gSaverRect, platform.desktop);
        platform.calls.clear();
        if (c.desktopChanged)
            platform.desktop = QRect(0, 0, 1280, 1024);
        EXPECT_EQ(control.StopScreenSaver(), c.ended);
        EXPECT_EQ(platform.calls, c.stopCalls);
        EXPECT_EQ(platform.cursor >= 0, c.cursorShown);
    }

    // After a change of the desktop the next stop ends the run.
    RecordingPlatform platform;
    ScreenSaverControl control(platform);
    control.StartScreenSaver(std::nullopt);
    platform.desktop = QRect(0, 0, 1280, 1024);
    EXPECT_FALSE(control.StopScreenSaver());
    EXPECT_TRUE(control.StopScreenSaver());

    // The preview goes into its window at the window's size, at 0,0.
    platform.calls.clear();
    control.StartScreenSaver(4711);
    EXPECT_EQ(platform.calls, QStringList{"embed 4711 0,0 152x112"});
}

} // namespace
} // namespace tarnwick
