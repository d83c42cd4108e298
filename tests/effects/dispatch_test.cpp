// Dispatch by name, the numeric rules the effects share and the classic
// random generator.

// ours
#include "effectfixture.h"
#include "vbmath.h"

#include <gtest/gtest.h>

using namespace tarnwick;

TEST(Dispatch, FindsEveryEffectWhateverTheCaseAndNothingElse)
{
    for (const QString& name : clsMovie::effectNames())
        for (const QString& member : {"Effect_" + name, "effect_" + name.toLower(), "EFFECT_" + name.toUpper()})
            EXPECT_NE(clsMovie::findEffect(member), nullptr) << member.toStdString();
    EXPECT_EQ(clsMovie::effectNames().size(), 8);
    for (const char* bad : {"", "Effect_", "Blend", "Effect_Blends", "Effect_Fade", "Effect Mask"})
        EXPECT_EQ(clsMovie::findEffect(QString::fromLatin1(bad)), nullptr) << bad;

    test::EffectStage stage(4, 3);
    stage.configure("Blend", "Times=3");
    EXPECT_TRUE(stage.run("bLeNd"));
    EXPECT_EQ(stage.host.refreshes(), 3);
    EXPECT_FALSE(stage.run("NoSuchEffect"));
    EXPECT_EQ(stage.host.refreshes(), 3);
}

TEST(Numbers, WholeRoundsHalfToEvenAndConversionsFailAsClassicBasicDoes)
{
    struct Case { double x; int expected; };
    for (const Case c : {Case{2.5, 2}, {3.5, 4}, {-2.5, -2}, {0.49999, 0}, {-0.5, 0}})
        EXPECT_EQ(whole(c.x), c.expected) << c.x;
    EXPECT_THROW(whole(2147483647.6), EffectFailure);

    struct Text { const char* text; int expected; const char* failure; };
    for (const Text t : {Text{"400", 400, nullptr}, {" 12 ", 12, nullptr}, {"12.5", 12, nullptr},
                         {"-3", -3, nullptr}, {"&H10", 16, nullptr}, {"1e3", 1000, nullptr},
                         {"", 0, kTypeMismatch}, {"abc", 0, kTypeMismatch}, {"12px", 0, kTypeMismatch},
                         {"3000000000", 0, kOverflow}}) {
        try {
            EXPECT_EQ(toLong(QString::fromLatin1(t.text)), t.expected) << t.text;
            EXPECT_TRUE(t.failure == nullptr) << t.text << " converted";
        } catch (const EffectFailure& e) {
            EXPECT_STREQ(e.what(), t.failure) << t.text;
        }
    }
    EXPECT_THROW(idiv(1, 0), EffectFailure);
    EXPECT_EQ(idiv(-7, 2), -3);
}

TEST(Random, IsTheClassic24BitGenerator)
{
    seedRandom(0);
    EXPECT_DOUBLE_EQ(Rnd(), 0xC39EC3 / 16777216.0);
    seedRandom(0x1000001); // seeds are taken mod 2^24
    EXPECT_DOUBLE_EQ(Rnd(), ((0x43FD43FDu + 0xC39EC3u) & 0xFFFFFFu) / 16777216.0);
}
