// What the effects draw, frames worked out by hand and every variant's last state; and the shipped settings file.

// ours
#include "effectfixture.h"

// Qt
#include <QFile>

#include <gtest/gtest.h>

// std
#include <cmath>
#include <vector>

using namespace tarnwick;

namespace {

constexpr double kPi = 3.141592653589793;

// w x h pixels at (x, y) from (sx, sy) of picture 'A', 'B' or 'G' (the background).
struct Copy { char from; int x, y, w, h, sx, sy; };
Copy own(char from, int x, int y, int w, int h) { return {from, x, y, w, h, x, y}; }

// Runs one forced variant and returns frame `frame` of objDest (0: the display after the last frame).
QImage frameOf(test::EffectStage& stage, const char* effect, int variant, const QString& settings, int frame,
               int stagger = -1)
{
    stage.configure(effect, settings);
    stage.movie.setForcedVariant(variant);
    stage.movie.setForcedStagger(stagger);
    stage.pick.insert(frame);
    stage.run(effect);
    EXPECT_TRUE(frame == 0 || stage.picked.count(frame)) << "no frame " << frame;
    return frame ? stage.picked[frame] : stage.objDest.image();
}

} // namespace

TEST(HandWorkedFrames, FramesAreTheRectanglesWorkedOutByHand)
{
    struct Case { const char* effect; int variant, w, h; const char* settings; int frame;
                  std::vector<Copy> copies; int stagger = -1; }; // copies laid on A in order
    const Case cases[] = {
        // Drag 40 x 30 in 10: frame 4 moved 16 x 12, B a picture behind, the background G between.
        {"Drag", 1, 40, 30, "Times=10", 4,
         {own('G', 0, 0, 40, 30), {'A', 16, 0, 24, 18, 0, 12}, {'B', 0, 18, 16, 12, 24, 0}}},
        // Moved 8.25 -> 8, B read from whole(24.75) = 25; odd width moved 2.5 keeps frame 4's last column.
        {"Drag", 0, 33, 3, "Times=8", 2, {{'B', 0, 0, 8, 3, 25, 0}, {'A', 8, 0, 25, 3, 0, 0}}},
        {"Drag", 4, 33, 3, "Times=66", 5, {{'A', 0, 0, 30, 3, 2, 0}, {'B', 30, 0, 2, 3, 0, 0}, {'B', 32, 0, 1, 3, 1, 0}}},
        // Wipe: 8.25 from the right; a centred 12 x 9 window of A at (6, 4.5).
        {"Wipe", 4, 33, 21, "Times=8", 2, {own('B', 25, 0, 8, 21)}},
        {"Wipe", 9, 40, 30, "Times=40", 9, {own('B', 16, 12, 9, 7)}}, // 9 x 6.75 at (15.5, 11.625)
        {"Wipe", 8, 40, 30, "Times=10", 3, {own('B', 0, 0, 40, 30), own('A', 6, 4, 28, 21)}}, // 4.5 -> 4
        {"Wipe", 15, 33, 21, "Times=1", 0, {own('B', 0, 0, 32, 21)}}, // 16.5 -> 16 twice: the last column stays
        {"Wipe", 19, 33, 21, "Times=8", 0, {own('B', 0, 0, 33, 21), own('A', 16, 10, 1, 1)}}, // radius 0 keeps it
        // Mask: stepY 2.5 -> 2 keeps row 4; doors of 4 read from 1 and 6, placed at 7.
        {"Mask", 3, 10, 5, "Times=2", 1, {{'B', 5, 2, 5, 2, 0, 0}}},
        {"Mask", 8, 12, 4, "Times=4", 1, {own('B', 0, 0, 12, 4), {'A', 0, 0, 4, 4, 1, 0}, {'A', 7, 0, 4, 4, 6, 0}}},
        {"Mask", 9, 13, 3, "Times=1", 1, {{'B', 0, 0, 6, 3, 0, 0}, {'B', 7, 0, 6, 3, 6, 0}}}, // column 6 never changes
        // Shutter, 3 slats in 4: 2 wide; staggered widths 2, 3.2, 4.4 end at 4, 8, 12.
        {"Shutter", 0, 12, 3, "Times=4 X=3", 2, {own('B', 0, 0, 2, 3), own('B', 4, 0, 2, 3), own('B', 8, 0, 2, 3)}, 0},
        {"Shutter", 2, 12, 3, "Times=4 X=3", 2, {own('B', 2, 0, 2, 3), own('B', 5, 0, 7, 3)}, 1},
        // Matrix: cells of 5, 2.5 -> 2 wide.
        {"Matrix", 0, 15, 2, "Times=2 X=3 Y=1", 1, {own('B', 0, 0, 2, 1), own('B', 5, 0, 2, 1), own('B', 10, 0, 2, 1)}},
        // LineTransform, lines of 2 pixels: phase 2's wipe; both edges crossing; sliding lines.
        {"LineTransform", 0, 16, 4, "Times=8 X=8", 5, {own('B', 0, 0, 6, 4), own('B', 8, 0, 2, 4), own('B', 12, 0, 2, 4)}},
        {"LineTransform", 8, 16, 4, "Times=8 X=8", 3, {own('B', 0, 0, 2, 4), own('B', 4, 0, 8, 4), own('B', 14, 0, 2, 4)}},
        {"LineTransform", 14, 8, 4, "Times=4 X=2 Y=2", 1, {{'B', 0, 0, 2, 2, 6, 0}, {'B', 6, 2, 2, 2, 0, 2}}},
        {"LineTransform", 19, 4, 8, "Times=4 X=2 Y=2", 2, {{'B', 0, 4, 2, 4, 0, 0}, {'B', 2, 0, 2, 4, 2, 4}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.effect << " " << c.variant << ", " << c.w << "x" << c.h << ", "
                                        << c.settings << ", frame " << c.frame);
        test::EffectStage stage(c.w, c.h);
        stage.movie.BackgroundPicture = test::gradientPicture(c.w, c.h, 77);
        QImage expected = stage.A.copy();
        for (const Copy& r : c.copies) {
            const QImage& from = r.from == 'A' ? stage.A : r.from == 'B' ? stage.B : stage.movie.BackgroundPicture;
            for (int j = 0; j < r.h; ++j)
                for (int i = 0; i < r.w; ++i)
                    if (expected.valid(r.x + i, r.y + j) && from.valid(r.sx + i, r.sy + j))
                        expected.setPixel(r.x + i, r.y + j, from.pixel(r.sx + i, r.sy + j));
        }
        const QImage frame = frameOf(stage, c.effect, c.variant, c.settings, c.frame, c.stagger);
        EXPECT_TRUE(test::frameIs(frame, [&](int x, int y) { return expected.pixel(x, y); }));
    }
}

// Frame 1 (R = 25 around (20, 15), no pixel centre on a circle or ray): B, the seam A | B where both masks pass, or A.
TEST(HandWorkedFrames, IrisAndSweepComposeBothPicturesThroughTheirMasks)
{
    enum Shown { kB, kSeam, kA };
    struct Case { int variant, times; Shown (*at)(double d2, double angle); };
    const Case cases[] = {
        // white disc r 10 / black disc r 5; black disc r 20 / white disc r 40.
        {18, 10, [](double d2, double) { return d2 <= 25 ? kB : d2 <= 100 ? kSeam : kA; }},
        {19, 10, [](double d2, double) { return d2 <= 400 ? kA : kSeam; }},
        // white pie [0, pi] / black pie [0, pi/2]; white pie [pi, 2pi] / black pie [3pi/2, 2pi].
        {20, 8, [](double, double a) { return a <= kPi / 2 ? kB : a <= kPi ? kSeam : kA; }},
        {21, 8, [](double, double a) { return a >= 3 * kPi / 2 ? kB : a >= kPi ? kSeam : kA; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.variant);
        test::EffectStage stage(40, 30);
        const QImage frame = frameOf(stage, "Wipe", c.variant, QStringLiteral("Times=%1").arg(c.times), 1);
        EXPECT_TRUE(test::frameIs(frame, [&](int x, int y) {
            const double dx = x + 0.5 - 20, dy = y + 0.5 - 15;
            const double angle = std::atan2(-dy, dx) + (dy > 0 ? 2 * kPi : 0);
            const QRgb a = stage.A.pixel(x, y), b = stage.B.pixel(x, y);
            const Shown shown = c.at(dx * dx + dy * dy, angle);
            return shown == kB ? b : shown == kSeam ? a | b : a;
        }));
    }
}

// Variant 0: alpha = floor(frame x 255 / Times); bands of 203 / 80 pixels: whole(weight x base), at most 255.
TEST(HandWorkedFrames, BlendAlphaPerFrameAndBand)
{
    struct Case { int variant, length, times, frame, pos /* column or row, -1 all */, alpha; };
    const Case cases[] = {
        {0, 6, 400, 1, -1, 0}, {0, 6, 400, 2, -1, 1}, {0, 6, 400, 400, -1, 254},
        {1, 203, 255, 40, 2, 238},   // band 1: 5.9375 x 40 = 237.5 -> 238
        {1, 203, 255, 40, 102, 138}, // band 41 from whole(101.5) = 102: 137.5 -> 138
        {1, 203, 255, 40, 202, 40},  // band 80 reaches the edge
        {2, 203, 255, 40, 0, 42}, {2, 203, 255, 40, 102, 142}, {2, 203, 255, 40, 202, 240},
        {3, 203, 255, 40, 102, 138}, {4, 203, 255, 40, 0, 42}, {4, 203, 255, 40, 202, 240},
        {1, 160, 400, 100, 0, 255}, {1, 160, 400, 100, 159, 63}, // 5.9375 x 63 clamped
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "variant " << c.variant << " frame " << c.frame << " at " << c.pos);
        const bool rows = c.variant >= 3;
        test::EffectStage stage(rows ? 3 : c.length, rows ? c.length : 3);
        const QImage frame = frameOf(stage, "Blend", c.variant, QStringLiteral("Times=%1").arg(c.times), c.frame);
        const auto mix = [&](int s, int d) { return (s * c.alpha + d * (255 - c.alpha) + 127) / 255; };
        EXPECT_TRUE(test::frameIs(frame, [&](int x, int y) {
            if (c.pos >= 0 && (rows ? y : x) != c.pos)
                return frame.pixel(x, y);
            const QRgb a = stage.A.pixel(x, y), b = stage.B.pixel(x, y);
            return qRgb(mix(qRed(b), qRed(a)), mix(qGreen(b), qGreen(a)), mix(qBlue(b), qBlue(a)));
        }));
    }
}

// Every variant ends on B, on even and odd sizes, with the work surfaces as the player expects them.
TEST(LastFrame, EveryVariantEndsOnTheIncomingPictureWithItsWorkSurfacesLeftAsExpected)
{
    struct Case { const char* effect; int first, last; int w, h; const char* settings; int stagger = -1; };
    const Case cases[] = {
        {"Blend", 0, 4, 203, 101, "Times=1"}, // not multiples of the 80 bands
        {"Drag", 0, 7, 33, 21, "Times=7"},
        {"Drag", 0, 7, 5, 3, "Times=1"},
        {"Wipe", 0, 17, 40, 30, "Times=7"},
        {"Wipe", 0, 17, 40, 30, "Times=1"},
        {"Wipe", 0, 14, 33, 21, "Times=7"}, // 15 and 17 leave a line on odd sides
        {"Wipe", 16, 16, 33, 21, "Times=7"},
        {"Wipe", 18, 21, 40, 30, "Times=8"},
        {"Wipe", 18, 18, 33, 21, "Times=8"},
        {"Wipe", 20, 21, 33, 21, "Times=8"},
        {"Wipe", 20, 21, 40, 30, "Times=26"}, // 26 x 2pi / 26 lands a rounding step above 2pi
        {"Mask", 0, 11, 12, 8, "Times=6"},
        {"Shutter", 0, 3, 12, 6, "Times=4 X=3", 0},
        {"Shutter", 0, 3, 12, 6, "Times=4 X=3", 1},
        {"Shutter", 0, 3, 12, 6, "Times=4 X=1", 1},
        {"Matrix", 0, 3, 12, 8, "Times=3 X=3 Y=2"},
        {"RndSquare", 0, 0, 20, 20, "X=10 Y=10"},
        {"RndSquare", 0, 0, 82, 10, "X=41 Y=5"},
        {"LineTransform", 0, 19, 16, 12, "Times=8 Interval=15 X=8 Y=6"},
        {"LineTransform", 0, 2, 14, 10, "Times=4 X=7 Y=5"}, // 3 and 7 leave the even lines of odd counts
        {"LineTransform", 4, 6, 14, 10, "Times=4 X=7 Y=5"},
        {"LineTransform", 8, 19, 14, 10, "Times=4 X=7 Y=5"},
    };
    for (const Case& c : cases) {
        const QString effect = QString::fromLatin1(c.effect); // Blend, RndSquare and LineTransform leave objTmp alone
        const bool usesTmp = !QStringList{"Blend", "RndSquare", "LineTransform"}.contains(effect);
        for (int variant = c.first; variant <= c.last; ++variant) {
            SCOPED_TRACE(testing::Message() << c.effect << " " << variant << ", " << c.w << "x" << c.h << ", "
                                            << c.settings << ", stagger " << c.stagger);
            test::EffectStage stage(c.w, c.h);
            stage.objTmp.setPicture(test::gradientPicture(c.w, c.h, 60));
            const QImage tmp = stage.objTmp.image().copy();
            const QImage last = frameOf(stage, c.effect, variant, c.settings, 0, c.stagger);
            EXPECT_TRUE(stage.host.failures().isEmpty() && last == stage.B && stage.objScr.image() == stage.B);
            // Only the masked Wipes write into objTmp2; Matrix hides the three work surfaces.
            EXPECT_TRUE(stage.objTmp2.image() == (effect == "Wipe" && variant >= 18 ? stage.B : stage.A));
            EXPECT_EQ(stage.objTmp.hasPicture(), !usesTmp);
            EXPECT_TRUE(usesTmp || stage.objTmp.image() == tmp);
            EXPECT_EQ(QList({stage.objScr.visible(), stage.objTmp.visible(), stage.objTmp2.visible(), stage.objDest.visible()}),
                      QList({effect != "Matrix", effect != "Matrix", effect != "Matrix", true}));
        }
    }
}

// The shipped settings (CR LF lines): the effect table as the sliders give it, each effect's keys, about 2 s each.
TEST(ShippedProfile, EveryEffectIsListedWithTheKeysItReadsAndLastsAboutTwoSeconds)
{
    QString text;
    if (QFile file(QStringLiteral(TARNWICK_SHIPPED_PROFILE)); file.open(QIODevice::ReadOnly))
        text = QString::fromUtf8(file.readAll());
    QHash<QString, QString> values; // "section/key"
    QString section;
    for (const QString& line : text.split(QStringLiteral("\r\n"))) {
        if (line.startsWith('[') && line.endsWith(']'))
            section = line.mid(1, line.size() - 2);
        else if (const int eq = line.indexOf('='); eq > 0)
            values.insert(section + '/' + line.left(eq), line.mid(eq + 1));
    }
    const auto value = [&](const QString& s, const QString& k) { return values.value(s + '/' + k); };
    const auto number = [&](const QString& s, const QString& k) {
        bool ok = false;
        const int n = value(s, k).toInt(&ok);
        return ok ? n : -1;
    };
    ASSERT_FALSE(values.isEmpty()) << TARNWICK_SHIPPED_PROFILE;
    EXPECT_TRUE(text.count('\n') == text.count(QStringLiteral("\r\n")) && text.endsWith("\r\n"));
    EXPECT_EQ(QList({number("Effect", "EffectNumber"), number("Effect", "StopTime"), number("Stop", "StopTime"),
                     number("Current", "MusicOpen")}), QList({8, 5, 5, 1}));
    // In table order, with their variant counts (Shutter: kinds).
    const std::pair<QString, int> effects[] = {{"Blend", 5},   {"Drag", 8},   {"Wipe", 22},     {"Mask", 12},
                                               {"Shutter", 4}, {"Matrix", 4}, {"RndSquare", 1}, {"LineTransform", 20}};
    int percents = 0, slides = 0;
    for (int i = 1; i <= 8; ++i)
        slides += number("Effect", QStringLiteral("SlideValue_%1").arg(i));
    for (int i = 1; i <= 8; ++i) {
        // Copies, not a structured binding: clang before 16 cannot capture bindings.
        const QString effect = effects[i - 1].first;
        const int variants = effects[i - 1].second;
        SCOPED_TRACE(effect.toStdString());
        const auto key = [i](const char* k) { return QStringLiteral("%1_%2").arg(QLatin1String(k)).arg(i); };
        EXPECT_EQ(value("Effect", key("Effect")), effect);
        EXPECT_FALSE(value("Effect", key("Caption")).trimmed().isEmpty());
        EXPECT_TRUE(value("Effect", key("Description")).endsWith('.'));
        EXPECT_EQ(number("Effect", key("HasDetail")), 1);
        percents += number("Effect", key("Percent"));
        EXPECT_EQ(static_cast<int>(std::nearbyint(number("Effect", key("SlideValue")) * 100.0 / slides)),
                  number("Effect", key("Percent")));
        QStringList items;
        for (int j = 1; j <= number(effect, "ItemNumbers"); ++j) {
            items << value(effect, QStringLiteral("Item_%1").arg(j));
            EXPECT_NE(number(effect, items.back()), -1) << items.back().toStdString();
        }
        // The variants' mean is what the effect lasts in the long run.
        std::int64_t total = 0;
        for (int v = 0; v < variants; ++v) {
            QStringList asked;
            test::EffectStage stage(32, 24);
            stage.host.setSettingReader([&](const QString& s, const QString& k, const QString& def) {
                if (s == effect && !asked.contains(k))
                    asked << k;
                const QString v = value(s, k);
                return v.isEmpty() ? def : v;
            });
            stage.movie.setForcedVariant(v);
            stage.run(effect);
            EXPECT_EQ(items, asked);
            EXPECT_TRUE(stage.host.failures().isEmpty());
            EXPECT_TRUE(stage.host.now() >= 1000 && stage.host.now() <= 3000) << "variant " << v << ": " << stage.host.now();
            total += stage.host.now();
        }
        EXPECT_TRUE(total / variants >= 1500 && total / variants <= 3000) << total / variants;
    }
    EXPECT_EQ(percents, 100);
}
