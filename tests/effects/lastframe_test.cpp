// Every variant of every effect ends with the incoming picture on the
// display, on sizes that divide evenly and sizes that do not, and leaves the
// other surfaces as the player expects them.

// ours
#include "effectfixture.h"

#include <gtest/gtest.h>

using namespace tarnwick;

TEST(LastFrame, EveryVariantEndsOnTheIncomingPicture)
{
    struct Case {
        const char* effect;
        int first, last; // variants (Shutter: kinds)
        int w, h;
        const char* settings;
        int stagger = -1;
    };
    const Case cases[] = {
        // 203 and 101 are not multiples of the 80 bands.
        {"Blend", 0, 4, 203, 101, "Times=1"},
        {"Drag", 0, 7, 40, 30, "Times=8"},
        {"Drag", 0, 7, 33, 21, "Times=7"},
        {"Drag", 0, 7, 5, 3, "Times=1"},
        {"Wipe", 0, 17, 40, 30, "Times=7"},
        {"Wipe", 0, 17, 40, 30, "Times=1"},
        // On an odd side the closing bands of 15 and 17 leave a line (see the
        // hand-worked frames).
        {"Wipe", 0, 14, 33, 21, "Times=7"},
        {"Wipe", 16, 16, 33, 21, "Times=7"},
        // The masked patterns run half the frames.
        {"Wipe", 18, 21, 40, 30, "Times=8"},
        {"Wipe", 18, 18, 33, 21, "Times=8"},
        {"Wipe", 20, 21, 33, 21, "Times=8"},
        // 26 x 2pi / 26 lands a rounding step above 2pi: still a whole turn.
        {"Wipe", 20, 21, 40, 30, "Times=26"},
        {"Mask", 0, 11, 12, 8, "Times=6"},
        {"Shutter", 0, 3, 12, 6, "Times=4 X=3", 0},
        {"Shutter", 0, 3, 12, 6, "Times=4 X=3", 1},
        {"Shutter", 0, 3, 12, 6, "Times=4 X=1", 1},
        {"Matrix", 0, 3, 12, 8, "Times=3 X=3 Y=2"},
        {"RndSquare", 0, 0, 20, 20, "X=10 Y=10"},
        {"RndSquare", 0, 0, 82, 10, "X=41 Y=5"},
        {"LineTransform", 0, 19, 16, 12, "Times=8 Interval=15 X=8 Y=6"},
        // Odd line counts: variants 3 and 7 leave the even lines (see the
        // hand-worked frames).
        {"LineTransform", 0, 2, 14, 10, "Times=4 X=7 Y=5"},
        {"LineTransform", 4, 6, 14, 10, "Times=4 X=7 Y=5"},
        {"LineTransform", 8, 19, 14, 10, "Times=4 X=7 Y=5"},
    };
    for (const Case& c : cases) {
        const QString effect = QString::fromLatin1(c.effect);
        // Drag (without a background picture), Wipe, Mask, Shutter and
        // Matrix leave objTmp with no picture; the others do not touch it.
        const bool usesTmp = !QStringList{"Blend", "RndSquare", "LineTransform"}.contains(effect);
        for (int variant = c.first; variant <= c.last; ++variant) {
            SCOPED_TRACE(testing::Message() << c.effect << " " << variant << ", " << c.w << "x" << c.h << ", "
                                            << c.settings << ", stagger " << c.stagger);
            test::EffectStage stage(c.w, c.h);
            stage.objTmp.setPicture(test::gradientPicture(c.w, c.h, 60));
            const QImage tmp = stage.objTmp.image().copy();
            stage.configure(effect, c.settings);
            stage.movie.setForcedVariant(variant);
            stage.movie.setForcedStagger(c.stagger);
            ASSERT_TRUE(stage.run(effect));

            EXPECT_TRUE(stage.host.failures().isEmpty());
            EXPECT_TRUE(stage.destShowsB());
            EXPECT_TRUE(stage.objScr.image() == stage.B);
            // Only the masked Wipe patterns write into objTmp2.
            const bool masked = effect == "Wipe" && variant >= 18;
            EXPECT_TRUE(stage.objTmp2.image() == (masked ? stage.B : stage.A));
            EXPECT_EQ(stage.objTmp.hasPicture(), !usesTmp);
            EXPECT_TRUE(usesTmp || stage.objTmp.image() == tmp);
            // Matrix hides the three work surfaces.
            for (const Surface* s : {&stage.objScr, &stage.objTmp, &stage.objTmp2})
                EXPECT_EQ(s->visible(), effect != "Matrix");
            EXPECT_TRUE(stage.objDest.visible());
        }
    }
}
