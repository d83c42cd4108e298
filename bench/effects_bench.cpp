// What one frame of each effect family costs, next to the cost of copying a
// whole frame once (the floor every frame pays at least in memory traffic).
//
// An effect frame is measured inside a real run of the effect: the engine
// draws the frames exactly as in the player, on the virtual clock so that
// no pause sleeps, and the time between the first and the last refresh of
// the display, divided by the frames in between, is one iteration's time.
// Preparation (tables, pictures loaded into surfaces) falls before the first
// refresh and is not counted. The settings make each run about 16 frames,
// so a growing wipe's average frame is the frame halfway through.
//
// The kernel rows time the row kernels alone on a full frame, as a frame
// would call them, to show what the surface operations could reach.
//
// Every time is the CPU time of the benchmark's thread (reported as manual
// time), so other work on a shared machine does not count in; memory
// traffic of that work still does, so compare rows of one run.

// ours
#include "clsmovie.h"
#include "effectfixture.h"
#include "pixelrow.h"
#include "surface.h"

// Qt
#include <QCoreApplication>
#include <QString>

#include <benchmark/benchmark.h>

// std
#include <ctime>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

using namespace tarnwick;

namespace {

// The CPU time of the calling thread.
struct ThreadClock {
    static double seconds()
    {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return double(t.tv_sec) + t.tv_nsec * 1e-9;
    }
};

// Times one iteration's body as thread CPU time.
template <class Body>
void timed(benchmark::State& state, Body body)
{
    const double start = ThreadClock::seconds();
    body();
    state.SetIterationTime(ThreadClock::seconds() - start);
}

struct EffectCase {
    const char* label;
    const char* effect;
    int variant; // -1: drawn
    int stagger; // -1: drawn
    std::vector<std::pair<const char*, const char*>> settings; // in the effect's section
};

const char* const kNoInterval = "0";

const std::vector<EffectCase>& effectCases()
{
    static const std::vector<EffectCase> cases{
        {"Blend/whole", "Blend", 0, -1, {{"BlendTimes(How many loop times to finish?)", "16"}}},
        {"Blend/columns", "Blend", 1, -1, {{"BlendTimes(How many loop times to finish?)", "16"}}},
        {"Blend/rows", "Blend", 3, -1, {{"BlendTimes(How many loop times to finish?)", "16"}}},
        {"Drag/diagonal", "Drag", 7, -1,
         {{"DragTimes(How many loop times to finish?)", "16"},
          {"DragInterval(ms)(How many milliseconds would computer relax between two process)", kNoInterval}}},
        {"Wipe/edge", "Wipe", 0, -1,
         {{"WipeTimes(How many loop times to finish?)", "16"},
          {"WipeInterval(ms)(How many milliseconds would computer relax between two process)", kNoInterval}}},
        // The mask variants run Times / 2 frames.
        {"Wipe/iris", "Wipe", 18, -1,
         {{"WipeTimes(How many loop times to finish?)", "32"},
          {"WipeInterval(ms)(How many milliseconds would computer relax between two process)", kNoInterval}}},
        {"Wipe/sweep", "Wipe", 20, -1,
         {{"WipeTimes(How many loop times to finish?)", "32"},
          {"WipeInterval(ms)(How many milliseconds would computer relax between two process)", kNoInterval}}},
        {"Mask/slide", "Mask", 0, -1,
         {{"MaskTimes(How many loop times to finish?)", "16"},
          {"MaskInterval(ms)(How many milliseconds would computer relax between two process)", kNoInterval}}},
        {"Shutter/staggered", "Shutter", 0, 1,
         {{"ShutterTimes(How many loop times to finish?)", "16"},
          {"ShutterInterval(ms)(How many milliseconds would computer relax between two process)", kNoInterval}}},
        {"Matrix/20x20", "Matrix", 0, -1,
         {{"MatrixTimes(How many loop times to finish?)", "16"},
          {"MatrixInterval(ms)(How many milliseconds would computer relax between two process)", kNoInterval}}},
        // The default 40 x 30 cells: one refresh every 12 cells.
        {"RndSquare/40x30", "RndSquare", -1, -1, {}},
        // Default 100 lines: a refresh per line step.
        {"LineTransform/lines", "LineTransform", 0, -1,
         {{"LineTransformInterval(ms)(How many milliseconds would computer relax between two process)",
           kNoInterval}}},
    };
    return cases;
}

// Puts the surfaces back as the player prepares them before a transition.
void resetStage(test::EffectStage& stage)
{
    stage.objTmp.setBackColor(0x000000);
    stage.objTmp.setPictureToNothing();
    stage.objTmp2.setPicture(stage.A);
    stage.objDest.setPicture(stage.A);
    stage.objScr.setPicture(stage.B);
}

void effectFrame(benchmark::State& state, const EffectCase& c)
{
    const int w = static_cast<int>(state.range(0));
    const int h = static_cast<int>(state.range(1));
    test::EffectStage stage(w, h);
    stage.movie.BackgroundPicture = test::gradientPicture(w, h, 77);
    stage.movie.setForcedVariant(c.variant);
    stage.movie.setForcedStagger(c.stagger);
    for (const auto& [key, value] : c.settings)
        stage.settings.insert(QString::fromLatin1(c.effect).toLower() + '/' + QString::fromLatin1(key).toLower(),
                              QString::fromLatin1(value));

    std::vector<double> refreshes;
    refreshes.reserve(256);
    stage.host.setRefreshHandler([&](const Surface& s) {
        if (&s == &stage.objDest)
            refreshes.push_back(ThreadClock::seconds());
    });

    std::size_t frames = 0;
    for (auto _ : state) {
        resetStage(stage);
        refreshes.clear();
        stage.run(QString::fromLatin1(c.effect), 1);
        if (!stage.movie.lastFailure().isEmpty() || refreshes.size() < 2) {
            state.SkipWithError(stage.movie.lastFailure().isEmpty()
                                    ? "the effect drew fewer than two frames"
                                    : qPrintable(stage.movie.lastFailure()));
            break;
        }
        frames = refreshes.size();
        state.SetIterationTime((refreshes.back() - refreshes.front()) / static_cast<double>(frames - 1));
    }
    state.counters["frames"] = static_cast<double>(frames);
}

// One 32-bit frame of w x h pixels, every page touched.
std::vector<std::uint32_t> frameBuffer(std::int64_t w, std::int64_t h, std::uint32_t fill)
{
    return std::vector<std::uint32_t>(static_cast<std::size_t>(w * h), fill);
}

// The floor: one memcpy of a whole frame. The destination starts one cache
// line past a page boundary relative to the source: on some machines (AMD
// EPYC with glibc's rep movsb) a copy between buffers at the same offset in
// their pages runs many times slower, and the floor is the plain fast case.
void memcpyFloor(benchmark::State& state)
{
    constexpr std::size_t kLine = 16; // pixels
    const auto src = frameBuffer(state.range(0), state.range(1), 0xFF336699u);
    auto dst = frameBuffer(state.range(0), state.range(1) + 1, 0);
    const std::size_t bytes = src.size() * sizeof(std::uint32_t);
    for (auto _ : state) {
        timed(state, [&] {
            std::memcpy(dst.data() + kLine, src.data(), bytes);
            benchmark::DoNotOptimize(dst.data());
            benchmark::ClobberMemory();
        });
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

// Blend's frame on the kernels: the incoming picture blended over the
// display's picture into the display, one pass per row.
void kernelBlendFrame(benchmark::State& state)
{
    const int w = static_cast<int>(state.range(0));
    const int h = static_cast<int>(state.range(1));
    const auto picture = frameBuffer(w, h, 0xFF336699u);
    const auto incoming = frameBuffer(w, h, 0xFF99CC33u);
    auto display = frameBuffer(w, h, 0);
    std::uint8_t alpha = 0;
    for (auto _ : state) {
        timed(state, [&] {
            for (int y = 0; y < h; ++y) {
                const std::size_t at = std::size_t(y) * w;
                pixelrow::blendRowOver(display.data() + at, picture.data() + at, incoming.data() + at, w, alpha);
            }
            benchmark::DoNotOptimize(display.data());
            benchmark::ClobberMemory();
        });
        ++alpha;
    }
}

// Wipe's masked composition on the kernels: each display pixel written
// once, a row split between the four cases of the two masks (both white:
// OR; the incoming picture only; the display only; neither: black). The
// runs of the discs cost a few exact tests per row on top.
void kernelMaskFrame(benchmark::State& state)
{
    const int w = static_cast<int>(state.range(0));
    const int h = static_cast<int>(state.range(1));
    const auto incoming = frameBuffer(w, h, 0xFF99CC33u);
    auto display = frameBuffer(w, h, 0xFF336699u);
    const int q = w / 4;
    for (auto _ : state) {
        timed(state, [&] {
            for (int y = 0; y < h; ++y) {
                std::uint32_t* d = display.data() + std::size_t(y) * w;
                const std::uint32_t* s = incoming.data() + std::size_t(y) * w;
                pixelrow::orRow(d, s, q);
                pixelrow::copyRow(d + q, s + q, q);
                pixelrow::orRow(d + 2 * q, d + 2 * q, q);
                pixelrow::fillRow(d + 3 * q, w - 3 * q, 0x000000);
            }
            benchmark::DoNotOptimize(display.data());
            benchmark::ClobberMemory();
        });
    }
}

const std::vector<std::pair<int, int>> kSizes{{1920, 1080}, {352, 288}};

void registerAll()
{
    for (const auto& [w, h] : kSizes) {
        using Plain = void (*)(benchmark::State&);
        const std::pair<const char*, Plain> plain[] = {
            {"Floor/memcpy", memcpyFloor}, {"Kernel/blend", kernelBlendFrame}, {"Kernel/mask", kernelMaskFrame}};
        // Each draws one frame per iteration; every row carries the same
        // counters, as the CSV output wants.
        for (const auto& [name, fn] : plain)
            benchmark::RegisterBenchmark(name, [fn = fn](benchmark::State& state) {
                fn(state);
                state.counters["frames"] = 1;
            })->Args({w, h})->UseManualTime()->Unit(benchmark::kMicrosecond);
        for (const EffectCase& c : effectCases()) {
            // Every iteration runs a whole transition; a few are enough for
            // a steady mean of its frames.
            benchmark::RegisterBenchmark(c.label, effectFrame, c)
                ->Args({w, h})
                ->UseManualTime()
                ->Unit(benchmark::kMicrosecond)
                ->Iterations(w > 1000 ? 3 : 20);
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    registerAll();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
