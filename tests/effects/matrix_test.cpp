// Matrix: every corner grows its cells to the full incoming picture by the
// last frame, frames and time follow MatrixTimes (capped at 100 in an export)
// and MatrixInterval, and the cells of chosen frames are worked out by hand.

// ours
#include "effectfixture.h"

#include <gtest/gtest.h>

// std
#include <string>
#include <vector>

using namespace tarnwick;

namespace {

const QString kTimes = QStringLiteral("MatrixTimes(How many loop times to finish?)");
const QString kInterval =
    QStringLiteral("MatrixInterval(ms)(How many milliseconds would computer relax between two process)");
const QString kBlockX = QStringLiteral("MatrixBlock_X(How many squares at horizontal)");
const QString kBlockY = QStringLiteral("MatrixBlock_Y(How many squares at vertical)");

} // namespace

TEST(Matrix, EveryCornerEndsOnTheIncomingPictureAtItsPace)
{
    struct Case {
        const char* what;
        int corner;
        const char* times;    // nullptr: key missing
        const char* interval; // nullptr: key missing
        bool isVCD, isUserDefine;
        int frames;
        std::int64_t ms;
    };
    std::vector<Case> cases;
    for (int corner = 0; corner < 4; ++corner)
        cases.push_back({"three frames of the 20 ms interval", corner, "3", nullptr, false, false, 3, 60});
    cases.push_back({"defaults", 2, nullptr, nullptr, false, false, 30, 600});
    cases.push_back({"interval below the 10 ms pause", 1, "3", "4", false, false, 3, 30});
    cases.push_back({"export keeps a count below 100", 3, nullptr, nullptr, true, false, 30, 600});
    cases.push_back({"export caps a count above 100", 0, "250", nullptr, true, false, 100, 2000});
    cases.push_back({"user-defined export keeps 250", 0, "250", nullptr, true, true, 250, 5000});

    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.what << ", corner " << c.corner);
        // 3 x 2 cells of 4 x 4 pixels.
        auto stage = test::EffectStage::gradients(12, 8);
        stage.objTmp.setPicture(stage.A);
        stage.set("Matrix", kBlockX, "3");
        stage.set("Matrix", kBlockY, "2");
        if (c.times)
            stage.set("Matrix", kTimes, c.times);
        if (c.interval)
            stage.set("Matrix", kInterval, c.interval);
        stage.movie.isVCD = c.isVCD;
        stage.movie.isUserDefine = c.isUserDefine;
        stage.movie.setForcedVariant(c.corner);
        ASSERT_TRUE(stage.run("Matrix"));

        EXPECT_TRUE(stage.host.failures().isEmpty());
        EXPECT_EQ(stage.host.refreshes(), c.frames);
        EXPECT_EQ(stage.movie.hookCalls(), c.frames);
        EXPECT_EQ(stage.host.now(), c.ms);
        // Events after each of the 6 cells, each of the 3 columns, and twice
        // in the frame's tail.
        EXPECT_EQ(stage.host.events(), c.frames * (6 + 3 + 2));
        EXPECT_TRUE(stage.destShowsB());
        EXPECT_FALSE(stage.objTmp.hasPicture());
        EXPECT_FALSE(stage.objScr.visible());
        EXPECT_FALSE(stage.objTmp.visible());
        EXPECT_FALSE(stage.objTmp2.visible());
        EXPECT_TRUE(stage.objDest.visible());
    }
}

TEST(Matrix, CellsOfChosenFramesGrowFromTheCornerByHand)
{
    struct Case {
        const char* what;
        int corner;
        int w, h, nx, ny, times, frame;
        std::string map; // rows of 'A' and 'B', joined by '/'
    };
    // 12 x 8 in 3 x 2 cells over 2 frames: steps 12 / 6 = 2 and 8 / 4 = 2,
    // so frame 1 shows a 2 x 2 square in a corner of every 4 x 4 cell.
    const char* topRows = "BBAABBAABBAA/BBAABBAABBAA/AAAAAAAAAAAA/AAAAAAAAAAAA/"
                          "BBAABBAABBAA/BBAABBAABBAA/AAAAAAAAAAAA/AAAAAAAAAAAA";
    const char* topRowsRight = "AABBAABBAABB/AABBAABBAABB/AAAAAAAAAAAA/AAAAAAAAAAAA/"
                               "AABBAABBAABB/AABBAABBAABB/AAAAAAAAAAAA/AAAAAAAAAAAA";
    const char* bottomRowsLeft = "AAAAAAAAAAAA/AAAAAAAAAAAA/BBAABBAABBAA/BBAABBAABBAA/"
                                 "AAAAAAAAAAAA/AAAAAAAAAAAA/BBAABBAABBAA/BBAABBAABBAA";
    const char* bottomRowsRight = "AAAAAAAAAAAA/AAAAAAAAAAAA/AABBAABBAABB/AABBAABBAABB/"
                                  "AAAAAAAAAAAA/AAAAAAAAAAAA/AABBAABBAABB/AABBAABBAABB";
    const Case cases[] = {
        {"top-left", 0, 12, 8, 3, 2, 2, 1, topRows},
        {"top-right", 1, 12, 8, 3, 2, 2, 1, topRowsRight},
        {"bottom-left", 2, 12, 8, 3, 2, 2, 1, bottomRowsLeft},
        {"bottom-right", 3, 12, 8, 3, 2, 2, 1, bottomRowsRight},
        // 15 / (3 x 2) = 2.5 across per frame: whole(2.5) = 2 wide on frame
        // 1; 2 / (2 x 1) = 1 down.
        {"half a step rounds to even", 0, 15, 2, 3, 1, 2, 1, "BBAAABBAAABBAAA/AAAAAAAAAAAAAAA"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto stage = test::EffectStage::gradients(c.w, c.h);
        stage.set("Matrix", kTimes, QString::number(c.times));
        stage.set("Matrix", kBlockX, QString::number(c.nx));
        stage.set("Matrix", kBlockY, QString::number(c.ny));
        stage.movie.setForcedVariant(c.corner);
        stage.pick.insert(c.frame);
        stage.run("Matrix");
        ASSERT_EQ(stage.picked.count(c.frame), 1u);
        EXPECT_EQ(test::pictureMap(stage.picked[c.frame], stage.A, stage.B), c.map);
    }
}
