// Matrix and RndSquare: the grid transitions. Both cut the display into
// cells and copy the incoming picture cell by cell, each cell from the same
// place of the incoming picture: Matrix grows every cell at once from one
// corner, RndSquare uncovers whole cells one at a time in random order.

// ours
#include "clsmovie.h"
#include "effectrun.h"
#include "surface.h"
#include "vbmath.h"
#include "vbrandom.h"

// std
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace tarnwick {

namespace {

constexpr const char* kMatrixTimesKey = "MatrixTimes(How many loop times to finish?)";
constexpr const char* kMatrixIntervalKey =
    "MatrixInterval(ms)(How many milliseconds would computer relax between two process)";
constexpr const char* kMatrixBlockXKey = "MatrixBlock_X(How many squares at horizontal)";
constexpr const char* kMatrixBlockYKey = "MatrixBlock_Y(How many squares at vertical)";
// The vertical key has lost its closing parenthesis in the settings file;
// it is matched as it stands.
constexpr const char* kRndSquareXKey = "RndSquareNumber_X(How many squares at horizontal)";
constexpr const char* kRndSquareYKey = "RndSquareNumber_Y(How many squares at vertical";

constexpr std::int32_t kMatrixPause = 10;
constexpr std::int32_t kRndSquarePause = 10;
constexpr std::int32_t kMatrixExportCap = 100;
// RndSquare refreshes the display about this many times per transition.
constexpr std::int32_t kRndSquareRefreshes = 100;

// A table indexed 1 to `count`; fewer than one entry cannot be sized.
template <typename T>
std::vector<T> oneBasedTable(std::int32_t count)
{
    if (count < 1)
        throw EffectFailure(kSubscriptOutOfRange);
    return std::vector<T>(static_cast<std::size_t>(count) + 1);
}

// n Mod q = 0; q = 0 fails with "Division by zero" as Mod does.
bool isMultiple(std::int32_t n, std::int32_t q)
{
    if (q == 0)
        throw EffectFailure(kDivisionByZero);
    return n % q == 0;
}

struct Cell {
    bool taken = false;
    int x = 0;
    int y = 0;
};

} // namespace

void clsMovie::Effect_Matrix(Surface& objScr, Surface& objTmp, Surface& objTmp2, Surface& objDest)
{
    runGuarded([&] {
        EffectRun run(*this, "Matrix");
        std::int32_t times = run.readInt(kMatrixTimesKey, "30");
        const std::int32_t interval = run.readInt(kMatrixIntervalKey, "20");
        const std::int32_t nx = run.readInt(kMatrixBlockXKey, "20");
        const std::int32_t ny = run.readInt(kMatrixBlockYKey, "20");
        if (run.exporting())
            times = std::min(times, kMatrixExportCap);
        const int corner = run.drawVariant(4);
        const bool fromRight = corner == 1 || corner == 3;
        const bool fromBottom = corner >= 2;

        std::vector<double> edgeX = oneBasedTable<double>(nx);
        std::vector<double> edgeY = oneBasedTable<double>(ny);
        const double stepX = divide(objScr.ScaleWidth() * 1.0, mul(nx, times));
        const double stepY = divide(objScr.ScaleHeight() * 1.0, mul(times, ny));

        objScr.setVisible(false);
        objTmp.setVisible(false);
        objTmp2.setVisible(false);
        objDest.setVisible(true);
        // Each cell grows from the edge of its column and row on the corner's
        // side.
        for (std::int32_t a = 1; a <= nx; ++a)
            edgeX[a] = objDest.ScaleWidth() * double(fromRight ? a : a - 1) * 1.0 / nx;
        for (std::int32_t b = 1; b <= ny; ++b)
            edgeY[b] = objDest.ScaleHeight() * double(fromBottom ? b : b - 1) * 1.0 / ny;

        for (std::int32_t i = 1; i <= times; ++i) {
            const std::int32_t t0 = run.tick();
            objTmp.setPictureToNothing();
            const double cw = i * stepX;
            const double ch = i * stepY;
            for (std::int32_t a = 1; a <= nx; ++a) {
                for (std::int32_t b = 1; b <= ny; ++b) {
                    double x = edgeX[a];
                    double y = edgeY[b];
                    if (fromRight)
                        x = edgeX[a] - i * stepX;
                    if (fromBottom)
                        y = edgeY[b] - i * stepY;
                    bitBlt(objDest, whole(x), whole(y), whole(cw), whole(ch), objScr, whole(x),
                           whole(y));
                    run.doEvents();
                }
                run.doEvents();
            }
            run.frameTail(objDest, t0, kMatrixPause, interval);
        }
    });
}

void clsMovie::Effect_RndSquare(Surface& objScr, Surface&, Surface&, Surface& objDest)
{
    runGuarded([&] {
        EffectRun run(*this, "RndSquare");
        const std::int32_t nx = run.readInt(kRndSquareXKey, "40");
        const std::int32_t ny = run.readInt(kRndSquareYKey, "30");
        const std::int32_t m = mul(nx, ny);
        std::vector<Cell> cells = oneBasedTable<Cell>(m);
        std::vector<std::int32_t> order = oneBasedTable<std::int32_t>(m);
        // The extra pixel closes the gaps that rounding the cell edges leaves.
        const double cw = divide(objDest.ScaleWidth(), nx) + 1;
        const double ch = divide(objDest.ScaleHeight(), ny) + 1;

        // Cells are numbered column by column, top to bottom in a column.
        std::int32_t k = 1;
        for (std::int32_t col = 1; col <= nx; ++col) {
            for (std::int32_t row = 1; row <= ny; ++row) {
                cells[k].x = whole(objDest.ScaleWidth() * double(col - 1) / nx);
                cells[k].y = whole(objDest.ScaleHeight() * double(row - 1) / ny);
                cells[k].taken = false;
                ++k;
                run.doEvents();
            }
            run.doEvents();
        }

        // A drawn cell that is taken already moves on to the next free one,
        // wrapping after the last, so every cell comes exactly once.
        for (std::int32_t n = 1; n <= m; ++n) {
            k = whole(std::floor(Rnd() * m) + 1);
            while (cells[k].taken) {
                ++k;
                if (k > m)
                    k = 1;
            }
            cells[k].taken = true;
            order[n] = k;
            run.doEvents();
        }

        const std::int32_t refreshEvery = idiv(m, kRndSquareRefreshes);
        for (std::int32_t n = 1; n <= m; ++n) {
            const Cell& cell = cells[order[n]];
            bitBlt(objDest, cell.x, cell.y, whole(cw), whole(ch), objScr, cell.x, cell.y);
            if (isMultiple(n, refreshEvery))
                run.showFrame(objDest);
            run.pause(kRndSquarePause);
            run.doEvents();
            run.doEvents();
        }
    });
}

} // namespace tarnwick
