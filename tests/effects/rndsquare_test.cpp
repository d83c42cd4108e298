// RndSquare: the cells come in a random order that is a permutation
// (numbered column by column), the display is refreshed every M \ 100 cells,
// each cell costs 10 ms, and an export changes none of it.

// ours
#include "effectfixture.h"
#include "vbrandom.h"

#include <gtest/gtest.h>

// std
#include <cmath>
#include <vector>

using namespace tarnwick;

namespace {

const QString kNumberX = QStringLiteral("RndSquareNumber_X(How many squares at horizontal)");
// The vertical key has no closing parenthesis.
const QString kNumberY = QStringLiteral("RndSquareNumber_Y(How many squares at vertical");

} // namespace

TEST(RndSquare, OrderIsAPermutationNumberedColumnByColumn)
{
    struct Case {
        int nx, ny;
        std::uint32_t seed;
    };
    // 100 cells, so every cell is refreshed on its own; cells are 2 x 2.
    const Case cases[] = {{10, 10, 1}, {10, 10, 12345}, {25, 4, 7}, {4, 25, 999999}, {20, 5, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.nx << " x " << c.ny << ", seed " << c.seed);
        const int m = c.nx * c.ny;
        auto stage = test::EffectStage::gradients(2 * c.nx, 2 * c.ny);
        stage.set("RndSquare", kNumberX, QString::number(c.nx));
        stage.set("RndSquare", kNumberY, QString::number(c.ny));

        // A cell's lower-right pixel is drawn by that cell alone (the extra
        // pixel of each cell reaches only the next cell's first row and
        // column), so it tells when the cell came.
        std::vector<int> order;
        std::vector<int> seen(m, 0);
        stage.host.setRefreshHandler([&](const Surface& s) {
            int fresh = 0;
            for (int col = 0; col < c.nx; ++col) {
                for (int row = 0; row < c.ny; ++row) {
                    const int cell = col * c.ny + row;
                    const int x = 2 * col + 1, y = 2 * row + 1;
                    if (!seen[cell] && s.pixel(x, y) == (stage.B.pixel(x, y) & 0xFFFFFFu)) {
                        seen[cell] = 1;
                        order.push_back(cell + 1);
                        ++fresh;
                    }
                }
            }
            EXPECT_EQ(fresh, 1) << "after cell " << order.size();
        });
        seedRandom(c.seed);
        const int first = static_cast<int>(std::floor(Rnd() * m)) + 1;
        stage.run("RndSquare", c.seed);

        ASSERT_EQ(int(order.size()), m);
        EXPECT_EQ(order.front(), first);
        EXPECT_TRUE(stage.destShowsB());
    }
}

TEST(RndSquare, RefreshesEveryHundredthOfTheCellsAndTakesTenMsEach)
{
    struct Case {
        const char* what;
        const char* nx; // nullptr: key missing
        const char* ny;
        bool isVCD;
        int w, h;
        int refreshes;
        std::int64_t ms;
        int columns, cells;
    };
    const Case cases[] = {
        {"100 cells: every cell", "10", "10", false, 20, 20, 100, 1000, 10, 100},
        {"205 cells: every second cell up to 204", "41", "5", false, 82, 10, 102, 2050, 41, 205},
        {"defaults: 1200 cells, every twelfth", nullptr, nullptr, false, 80, 60, 100, 12000, 40, 1200},
        {"an export keeps every cell", nullptr, nullptr, true, 80, 60, 100, 12000, 40, 1200},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto stage = test::EffectStage::gradients(c.w, c.h);
        if (c.nx)
            stage.set("RndSquare", kNumberX, c.nx);
        if (c.ny)
            stage.set("RndSquare", kNumberY, c.ny);
        stage.movie.isVCD = c.isVCD;
        stage.keepFrames = true;
        ASSERT_TRUE(stage.run("RndSquare"));

        EXPECT_TRUE(stage.host.failures().isEmpty());
        EXPECT_EQ(stage.host.refreshes(), c.refreshes);
        EXPECT_EQ(stage.movie.hookCalls(), c.refreshes);
        EXPECT_EQ(stage.host.now(), c.ms);
        // Events after every cell and column of the table, every drawn
        // order entry, and twice after every cell's pause.
        EXPECT_EQ(stage.host.events(), 4 * c.cells + c.columns);
        EXPECT_TRUE(stage.destShowsB());
        // With 205 cells the last one is drawn but never refreshed.
        const bool lastRefreshed = c.cells % (c.cells / 100) == 0;
        EXPECT_EQ(stage.frames.back() == stage.B, lastRefreshed);
    }
}
