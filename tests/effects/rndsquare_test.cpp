// RndSquare's cells come in a random order that is a permutation of all
// cells, numbered column by column, starting where the generator points.

// ours
#include "effectfixture.h"
#include "vbrandom.h"

#include <gtest/gtest.h>

// std
#include <cmath>
#include <vector>

using namespace tarnwick;

TEST(RndSquare, OrderIsAPermutationNumberedColumnByColumn)
{
    struct Case {
        int nx, ny;
        std::uint32_t seed;
    };
    // 100 cells of 2 x 2, so every cell is refreshed on its own.
    for (const Case c : {Case{10, 10, 1}, {10, 10, 12345}, {25, 4, 7}, {4, 25, 999999}, {20, 5, 0}}) {
        SCOPED_TRACE(testing::Message() << c.nx << " x " << c.ny << ", seed " << c.seed);
        test::EffectStage stage(2 * c.nx, 2 * c.ny);
        stage.configure("RndSquare", QStringLiteral("X=%1 Y=%2").arg(c.nx).arg(c.ny));
        // A cell's lower-right pixel is drawn by that cell alone (the extra
        // pixel of each cell reaches only the next cell's first row and
        // column), so it tells when the cell came.
        std::vector<int> order;
        std::vector<bool> seen(c.nx * c.ny, false);
        stage.host.setRefreshHandler([&](const Surface& s) {
            const std::size_t before = order.size();
            for (int cell = 0; cell < c.nx * c.ny; ++cell) {
                const int x = 2 * (cell / c.ny) + 1, y = 2 * (cell % c.ny) + 1;
                if (!seen[cell] && s.pixel(x, y) == (stage.B.pixel(x, y) & 0xFFFFFFu)) {
                    seen[cell] = true;
                    order.push_back(cell + 1);
                }
            }
            EXPECT_EQ(order.size(), before + 1) << "after cell " << before;
        });
        seedRandom(c.seed);
        const int first = static_cast<int>(std::floor(Rnd() * c.nx * c.ny)) + 1;
        stage.run("RndSquare", c.seed);

        ASSERT_EQ(int(order.size()), c.nx * c.ny);
        EXPECT_EQ(order.front(), first);
    }
}
