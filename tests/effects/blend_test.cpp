// Blend: the alpha of each frame and band, worked out by hand from the
// rounding rules (floor for the base, half-to-even for weighted bands, clamp
// at 255), the band edges, and what the effect leaves on its surfaces.

// ours
#include "effectfixture.h"
#include "framesink.h"

// Qt
#include <QPoint>

#include <gtest/gtest.h>

using namespace tarnwick;

namespace {

const QString kBlendTimes = QStringLiteral("BlendTimes(How many loop times to finish?)");
const QRgb kA = qRgb(200, 0, 0);
const QRgb kB = qRgb(0, 200, 0);

// The colour of B blended over A at `alpha` by the surface's pixel rule.
QRgb blended(int alpha)
{
    const auto mix = [alpha](int s, int d) { return (s * alpha + d * (255 - alpha) + 127) / 255; };
    return qRgb(mix(qRed(kB), qRed(kA)), mix(qGreen(kB), qGreen(kA)), mix(qBlue(kB), qBlue(kA))) &
           0xFFFFFFu;
}

QRgb at(const QImage& img, QPoint p) { return img.pixel(p) & 0xFFFFFFu; }

} // namespace

TEST(Blend, OneFrameShowsTheIncomingPictureInEveryVariant)
{
    for (int variant = 0; variant < 5; ++variant) {
        // 203 and 101 are not multiples of 80: the last band absorbs the rest.
        test::EffectStage stage(203, 101, test::gradientPicture(203, 101, 3),
                                test::gradientPicture(203, 101, 140));
        stage.set("Blend", kBlendTimes, "1");
        stage.movie.setForcedVariant(variant);
        stage.run("Blend");
        EXPECT_EQ(stage.host.refreshes(), 1) << variant;
        EXPECT_TRUE(stage.destShowsB()) << variant;
    }
}

TEST(Blend, WholePictureAlphaIsTheFloorOfFrameTimesStep)
{
    // step = 255 / 400 = 0.6375; 400 x step is just below 255 in double
    // precision, so even the last frame is not quite opaque.
    struct Case { int frame; int alpha; };
    const Case cases[] = {{1, 0}, {2, 1}, {38, 24}, {200, 127}, {399, 254}, {400, 254}};
    test::EffectStage stage(6, 5, test::solidPicture(6, 5, kA), test::solidPicture(6, 5, kB));
    stage.movie.setForcedVariant(0);
    for (const Case& c : cases)
        stage.pick.insert(c.frame);
    stage.run("Blend");
    ASSERT_EQ(stage.picked.size(), std::size(cases));
    for (const Case& c : cases) {
        const QImage& frame = stage.picked[c.frame];
        EXPECT_EQ(at(frame, {0, 0}), blended(c.alpha)) << c.frame;
        EXPECT_EQ(at(frame, {5, 4}), blended(c.alpha)) << c.frame;
    }
    // Frame 2 by hand: red (0*1 + 200*254 + 127) / 255 = 199, green
    // (200*1 + 127) / 255 = 1.
    EXPECT_EQ(at(stage.picked[2], {3, 2}), qRgb(199, 1, 0) & 0xFFFFFFu);
}

TEST(Blend, BandAlphasAndEdgesOnASideNotDivisibleBy80)
{
    // 203 pixels: band starts whole(203 (i-1) / 80); band 41 starts at
    // whole(101.5) = 102, band 79 at 198, band 80 at 200 and is 3 wide.
    // Times 255 gives step 1, so frame 40 has base 40.
    struct Case {
        int variant;
        int pos;   // column (variants 1, 2) or row (3, 4)
        int alpha; // whole(k x base), clamped
    };
    const Case cases[] = {
        {1, 0, 238},   // band 1: 5.9375 x 40 = 237.5 -> 238 (even)
        {1, 2, 238},   // band 1 spans columns 0..2
        {1, 3, 235},   // band 2: 5.875 x 40
        {1, 101, 140}, // band 40: 3.5 x 40
        {1, 102, 138}, // band 41: 3.4375 x 40 = 137.5 -> 138
        {1, 199, 42},  // band 79: 1.0625 x 40 = 42.5 -> 42
        {1, 200, 40},  // band 80: 1 x 40
        {1, 202, 40},  // band 80 reaches the edge
        {2, 0, 42},    // band 1: 1.0625 x 40 = 42.5 -> 42
        {2, 101, 140}, // band 40: 3.5 x 40
        {2, 102, 142}, // band 41: 3.5625 x 40 = 142.5 -> 142
        {2, 202, 240}, // band 80: 6 x 40
        {3, 102, 138},
        {3, 202, 40},
        {4, 0, 42},
        {4, 202, 240},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "variant " << c.variant << " at " << c.pos);
        const bool rows = c.variant >= 3;
        const int w = rows ? 3 : 203;
        const int h = rows ? 203 : 3;
        test::EffectStage stage(w, h, test::solidPicture(w, h, kA), test::solidPicture(w, h, kB));
        stage.set("Blend", kBlendTimes, "255");
        stage.movie.setForcedVariant(c.variant);
        stage.pick.insert(40);
        stage.run("Blend");
        const QImage& frame = stage.picked[40];
        // Every pixel of a band has the band's alpha, across its whole length.
        for (const int along : {0, 1, 2}) {
            const QPoint p = rows ? QPoint(along, c.pos) : QPoint(c.pos, along);
            EXPECT_EQ(at(frame, p), blended(c.alpha)) << along;
        }
    }
}

TEST(Blend, WeightedAlphaIsClampedNotWrapped)
{
    // Frame 100 of 400: base floor(63.75) = 63; band 1 of variant 1 has
    // 5.9375 x 63 = 374 -> 255, band 80 has 63.
    test::EffectStage stage(160, 4, test::solidPicture(160, 4, kA), test::solidPicture(160, 4, kB));
    stage.movie.setForcedVariant(1);
    stage.pick.insert(100);
    stage.run("Blend");
    EXPECT_EQ(at(stage.picked[100], {0, 0}), kB & 0xFFFFFFu);
    EXPECT_EQ(at(stage.picked[100], {159, 3}), blended(63));
}

namespace {

struct CountingSink : FrameSink {
    void writeFrames(std::int16_t stillSeconds) override { stillSeconds == 0 ? ++frames : ++stills; }
    int frames = 0;
    int stills = 0;
};

} // namespace

TEST(Blend, TouchesOnlyItsTwoSurfacesAndFeedsTheExportOneFramePerRefresh)
{
    test::EffectStage stage(12, 9, test::gradientPicture(12, 9, 10), test::gradientPicture(12, 9, 90));
    stage.objTmp.setBackColor(0x123456);
    const QImage tmp = stage.objTmp.image().copy();
    const QImage tmp2 = stage.objTmp2.image().copy();
    CountingSink sink;
    stage.movie.setFrameSink(&sink);
    stage.movie.isVCD = true;
    stage.movie.setForcedVariant(4);
    stage.run("Blend");

    EXPECT_EQ(sink.frames, 100);
    EXPECT_EQ(sink.stills, 0);
    EXPECT_TRUE(stage.objTmp.image() == tmp);
    EXPECT_TRUE(stage.objTmp2.image() == tmp2);
    EXPECT_TRUE(stage.objScr.image() == stage.B);
    // The display's picture stays the outgoing one: a clear brings back A.
    stage.objDest.clear();
    EXPECT_TRUE(stage.objDest.image() == stage.A);
}
