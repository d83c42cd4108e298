// The engine's frame scheme: counts and times on the virtual clock, failures, variant draws; and RealHost.

// ours
#include "effectfixture.h"
#include "effectrun.h"
#include "framesink.h"
#include "realhost.h"
#include "vbmath.h"

// Qt
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMetaObject>

#include <gtest/gtest.h>

// std
#include <climits>

using namespace tarnwick;

namespace {

struct CountingSink : FrameSink {
    void writeFrames(std::int16_t stillSeconds) override { frames += stillSeconds == 0; }
    int frames = 0;
};

enum Mode { kShow, kExport, kUserExport };

} // namespace

// A frame lasts max(Interval, pause: Blend 50, Mask 20, others 10); LineTransform's phases 500 ms apart; exports 100.
// A failure is shown once, with its one message, and ends the effect.
TEST(FrameScheme, CountsAndDurationsFollowTheSettingsAndTheExport)
{
    struct Case {
        const char* effect;
        int first, last; // variants
        const char* settings;
        Mode mode;
        std::int64_t refreshes, hooks, ms, events;
        const char* failure = nullptr; // the one message shown
        bool drew = false; // before the failure
    };
    const Case cases[] = {
        {"Blend", 0, 4, "", kShow, 400, 400, 20000, 880},
        {"Blend", 1, 1, "Times=7", kExport, 100, 100, 5000, 280},
        {"Blend", 0, 0, "Times=0", kExport, 100, 100, 5000, 280}, // the export's count hides the zero
        {"Blend", 3, 3, "Times=7", kUserExport, 7, 7, 350, 94},
        {"Blend", 3, 3, "Times=&H7", kUserExport, 7, 7, 350, 94}, // settings numbers as classic Basic reads them
        {"Blend", 3, 3, "Times=6.5", kUserExport, 6, 6, 300, 92},
        {"Blend", 3, 3, "Times=0.7e1", kUserExport, 7, 7, 350, 94},
        {"Drag", 0, 7, "", kShow, 800, 800, 8000, 1600}, // default Interval 5 is below the pause
        {"Drag", 7, 7, "Times=12 Interval=25", kShow, 12, 12, 300, 24},
        {"Drag", 7, 7, "Times=12 Interval=25", kExport, 100, 100, 2500, 200},
        {"Drag", 7, 7, "Times=12", kUserExport, 12, 12, 120, 24},
        {"Drag", 7, 7, "Times=-4", kShow, 0, 0, 0, 0},
        {"Wipe", 0, 17, "", kShow, 200, 200, 4000, 400},
        {"Wipe", 18, 21, "", kShow, 100, 100, 2000, 200},
        {"Wipe", 21, 21, "Times=7", kShow, 3, 3, 60, 6},
        {"Wipe", 18, 21, "Times=1", kShow, 0, 0, 0, 0}, // 2 x 1 exceeds 1: no frame
        {"Wipe", 16, 16, "Times=12 Interval=35", kShow, 12, 12, 420, 24},
        {"Wipe", 12, 12, "Times=12", kExport, 100, 100, 2000, 200},
        {"Wipe", 20, 20, "Times=12 Interval=5", kExport, 50, 50, 500, 100},
        {"Wipe", 0, 0, "Times=12", kUserExport, 12, 12, 240, 24},
        {"Wipe", 19, 19, "Times=-6", kShow, 0, 0, 0, 0},
        {"Mask", 0, 11, "", kShow, 400, 400, 8000, 800},
        {"Mask", 9, 9, "Times=6 Interval=35", kShow, 6, 6, 210, 12},
        {"Mask", 5, 5, "Times=6", kExport, 100, 100, 2000, 200},
        {"Mask", 10, 10, "Times=6", kUserExport, 6, 6, 120, 12},
        {"Shutter", 0, 3, "", kShow, 80, 80, 1600, 30 + 80 * 32},
        {"Shutter", 1, 1, "Times=4 Interval=5 X=3", kShow, 4, 4, 40, 3 + 4 * 5},
        {"Shutter", 2, 2, "Times=4 X=3", kExport, 100, 100, 2000, 3 + 100 * 5},
        {"Matrix", 0, 3, "", kShow, 30, 30, 600, 30 * (400 + 20 + 2)},
        {"Matrix", 1, 1, "Times=3 Interval=4 X=3 Y=2", kShow, 3, 3, 30, 33},
        {"Matrix", 3, 3, "X=3 Y=2", kExport, 30, 30, 600, 330},
        {"Matrix", 0, 0, "Times=250 X=3 Y=2", kExport, 100, 100, 2000, 1100},
        {"Matrix", 0, 0, "Times=250 X=3 Y=2", kUserExport, 250, 250, 5000, 2750},
        // RndSquare: a refresh every M \ 100 cells, 10 ms a cell; 205 cells refresh up to 204.
        {"RndSquare", 0, 0, "X=10 Y=10", kShow, 100, 100, 1000, 410},
        {"RndSquare", 0, 0, "X=41 Y=5", kShow, 102, 102, 2050, 861},
        {"RndSquare", 0, 0, "", kShow, 100, 100, 12000, 4840},
        {"RndSquare", 0, 0, "", kExport, 100, 100, 12000, 4840},
        {"LineTransform", 0, 3, "Times=8 Interval=15 X=8 Y=6", kShow, 8, 8, 700, 30},
        {"LineTransform", 4, 7, "Times=8 Interval=15 X=8 Y=6", kShow, 6, 6, 650, 26},
        {"LineTransform", 8, 8, "Times=8 Interval=15 X=8 Y=6", kShow, 4, 4, 100, 22},
        {"LineTransform", 9, 9, "Times=8 Interval=15 X=8 Y=6", kShow, 3, 3, 75, 20},
        {"LineTransform", 10, 13, "Times=8 Interval=15 X=8 Y=6", kShow, 16, 8, 900, 94},
        {"LineTransform", 14, 14, "Times=8 Interval=15 X=8 Y=6", kShow, 8, 4, 200, 78},
        {"LineTransform", 15, 18, "Times=8 Interval=15 X=8 Y=6", kShow, 16, 8, 900, 110},
        {"LineTransform", 19, 19, "Times=8 Interval=15 X=8 Y=6", kShow, 8, 4, 200, 94},
        {"LineTransform", 0, 0, "", kShow, 100, 100, 3500, 380},
        {"LineTransform", 5, 5, "", kShow, 80, 80, 2900, 340},
        {"LineTransform", 10, 10, "", kShow, 200, 100, 6500, 180 + 200 * 2 + 2 * 100 * 40},
        // Lines outnumber frames: hooks where j or j + 1 is a multiple of q = lines \ (frames \ 2).
        {"LineTransform", 0, 2, "Times=4 Interval=0 X=10 Y=2", kShow, 10, 4, 600, 32},
        {"LineTransform", 4, 4, "Times=4 Interval=0 X=2 Y=10", kShow, 10, 4, 600, 32},
        {"LineTransform", 8, 8, "Times=4 Interval=0 X=10 Y=2", kShow, 5, 2, 50, 22},
        {"LineTransform", 0, 0, "Times=3 Interval=0 X=10 Y=2", kShow, 10, 2, 600, 32},
        {"LineTransform", 0, 0, "Times=8 Interval=5 X=8 Y=2", kShow, 8, 8, 620, 26},
        {"LineTransform", 1, 1, "Times=4", kExport, 100, 100, 3500, 380},
        {"LineTransform", 17, 17, "Times=4 Interval=0", kExport, 200, 100, 2500, 180 + 200 * 2 + 2 * 100 * 50},
        {"LineTransform", 17, 17, "Times=4 Interval=0", kUserExport, 8, 4, 580, 180 + 8 * 2 + 8 * 50},
        // Broken settings.
        {"Blend", 0, 0, "Times=", kShow, 0, 0, 0, 0, kTypeMismatch},
        {"Blend", 0, 0, "Times=", kExport, 0, 0, 0, 0, kTypeMismatch}, // read before the export replaces it
        {"Blend", 0, 0, "Times=12px", kShow, 0, 0, 0, 0, kTypeMismatch},
        {"Blend", 0, 0, "Times=0", kShow, 0, 0, 0, 0, kDivisionByZero},
        {"Blend", 0, 0, "Times=3000000000", kShow, 0, 0, 0, 0, kOverflow},
        {"Drag", 7, 7, "Times=0", kShow, 0, 0, 0, 0, kDivisionByZero},
        {"Drag", 7, 7, "Times=12 Interval=1e10", kExport, 0, 0, 0, 0, kOverflow},
        {"Wipe", 5, 5, "Times=0", kShow, 0, 0, 0, 0, kDivisionByZero},
        {"Wipe", 18, 18, "Times=0", kShow, 0, 0, 0, 0, kDivisionByZero},
        {"Mask", 0, 0, "Interval=ten", kShow, 0, 0, 0, 0, kTypeMismatch},
        {"Mask", 0, 0, "Times=0", kShow, 0, 0, 0, 0, kDivisionByZero},
        {"Shutter", 0, 0, "Times=0", kShow, 0, 0, 0, 0, kDivisionByZero},
        {"Shutter", 0, 0, "X=0", kShow, 0, 0, 0, 0, kSubscriptOutOfRange},
        {"Shutter", 0, 0, "X=100000 Times=100000", kShow, 0, 0, 0, 0, kOverflow},
        {"Matrix", 0, 0, "Times=0", kShow, 0, 0, 0, 0, kDivisionByZero},
        {"Matrix", 0, 0, "X=0", kShow, 0, 0, 0, 0, kSubscriptOutOfRange},
        {"Matrix", 0, 0, "X=100000 Times=100000", kShow, 0, 0, 0, 0, kOverflow},
        {"RndSquare", 0, 0, "X=many", kShow, 0, 0, 0, 0, kTypeMismatch},
        {"RndSquare", 0, 0, "X=70000 Y=70000", kShow, 0, 0, 0, 0, kOverflow},
        // 99 cells: M \ 100 = 0 after cell 1.
        {"RndSquare", 0, 0, "X=9 Y=11", kShow, 0, 0, 0, 207, kDivisionByZero, true},
        {"LineTransform", 0, 0, "Times=0", kShow, 0, 0, 0, 180, kDivisionByZero},
        {"LineTransform", 0, 0, "Y=", kShow, 0, 0, 0, 0, kTypeMismatch},
        {"LineTransform", 0, 0, "Times=1 X=4 Y=4", kShow, 1, 0, 0, 8, kDivisionByZero, true}, // period 1 \ 2 = 0
    };
    for (const Case& c : cases) {
        for (int variant = c.first; variant <= c.last; ++variant) {
            SCOPED_TRACE(testing::Message() << c.effect << " " << variant << ", " << c.settings << ", mode " << c.mode);
            test::EffectStage stage(16, 12);
            CountingSink sink;
            stage.movie.setFrameSink(&sink);
            stage.configure(c.effect, c.settings);
            stage.movie.isVCD = c.mode != kShow;
            stage.movie.isUserDefine = c.mode == kUserExport;
            stage.movie.setForcedVariant(variant);
            ASSERT_TRUE(stage.run(c.effect));
            const QString failure = QString::fromLatin1(c.failure);
            EXPECT_EQ(stage.host.failures(), failure.isEmpty() ? QStringList() : QStringList{failure});
            EXPECT_EQ(stage.movie.lastFailure(), failure);
            EXPECT_EQ(QList<std::int64_t>({stage.host.refreshes(), stage.movie.hookCalls(), sink.frames, stage.host.now(),
                                           stage.host.events()}),
                      QList<std::int64_t>({c.refreshes, c.hooks, c.mode == kShow ? 0 : c.hooks, c.ms, c.events}));
            // Without a frame nothing shows; a failure leaves what was drawn.
            const bool unchanged = stage.objDest.image() == stage.A;
            EXPECT_TRUE(c.failure ? unchanged != c.drew : c.refreshes > 0 || unchanged);
        }
    }
    // The next good run clears the failure.
    test::EffectStage stage(4, 4);
    for (const char* settings : {"Times=", "Times=2"})
        stage.configure("Blend", settings), stage.run("Blend");
    EXPECT_TRUE(stage.movie.lastFailure().isEmpty());
    EXPECT_EQ(stage.host.refreshes(), 2);
}

TEST(FrameScheme, VariantAndStaggerAlwaysDrawOneNumberAndForcingOnlyReplacesTheResult)
{
    struct Case { int forced; int n; std::uint32_t seed; bool stagger; };
    for (const Case c : {Case{-1, 5, 1, false}, {3, 5, 1, false}, {7, 5, 1, false}, {-1, 8, 12345, false},
                         {-1, 2, 3, true}, {-1, 2, 4, true}, {0, 2, 3, true}, {1, 2, 4, true}}) {
        SCOPED_TRACE(testing::Message() << c.forced << " of " << c.n << ", seed " << c.seed);
        seedRandom(c.seed);
        const double r = Rnd();
        const std::uint32_t after = randomState();
        // Shutter's stagger is 1 when floor(2 r) is 0; a forced value outside 0..n-1 is ignored.
        const int drawn = c.stagger ? (r < 0.5 ? 1 : 0) : static_cast<int>(r * c.n);
        test::EffectStage stage(2, 2);
        c.stagger ? stage.movie.setForcedStagger(c.forced) : stage.movie.setForcedVariant(c.forced);
        seedRandom(c.seed);
        EffectRun run(stage.movie, "Shutter");
        EXPECT_EQ(c.stagger ? run.drawStagger() : run.drawVariant(c.n), c.forced >= 0 && c.forced < c.n ? c.forced : drawn);
        EXPECT_EQ(randomState(), after);
    }
}

TEST(FrameScheme, IntervalPadsOnlyShortFramesEvenAcrossTheClockWrap)
{
    struct Case { std::int64_t start; std::int32_t drawing; std::int64_t duration; };
    // Fixed pause 10, Interval 20.
    for (const Case c : {Case{0, 3, 20}, {0, 9, 20}, {0, 10, 20}, {0, 25, 35}, {INT_MAX - 4, 2, 20}}) {
        SCOPED_TRACE(testing::Message() << c.start << " + " << c.drawing);
        test::EffectStage stage(2, 2);
        stage.host.advance(c.start);
        EffectRun run(stage.movie, "Drag");
        const std::int32_t t0 = run.tick();
        stage.host.advance(c.drawing);
        run.frameTail(stage.objDest, t0, 10, 20);
        EXPECT_EQ(stage.host.now() - c.start, c.duration);
    }
}

// RealHost hands requests to its owner's callbacks. With a frame interval, frames and events come at most once an
// interval, and a held frame comes on when it is over.
TEST(RealHost, HandsRequestsToItsOwnerAndAFrameIntervalHoldsFramesBackButShowsTheLast)
{
    RealHost host;
    QStringList asked;
    int shown = 0, ran = 0;
    host.setSettingReader([&](const QString& section, const QString& key, const QString& def) {
        asked << section + '/' + key + '/' + def;
        return QStringLiteral("42");
    });
    host.setFailureHandler([&](const QString& message) { asked << message; });
    host.setRefreshHandler([&](const Surface&) { ++shown; });
    EXPECT_EQ(host.readSetting("Mask", "MaskTimes", "400"), "42");
    host.showFailure("Overflow");
    EXPECT_EQ(asked, QStringList({"Mask/MaskTimes/400", "Overflow"}));
    host.setFrameInterval(40);
    Surface display(4, 3);
    for (int i = 0; i < 3; ++i)
        host.refresh(display);
    EXPECT_EQ(shown, 1);
    host.doEvents();
    QMetaObject::invokeMethod(QCoreApplication::instance(), [&] { ++ran; }, Qt::QueuedConnection);
    host.doEvents();
    EXPECT_EQ(ran, 0);
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
