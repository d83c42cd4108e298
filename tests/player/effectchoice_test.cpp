// ours
#include "effectchoice.h"
#include "vbrandom.h"

// Qt
#include <QMap>

// std
#include <cstdint>
#include <ostream>

#include <gtest/gtest.h>

inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace tarnwick {
namespace {

using Settings = QMap<QString, QString>;

SettingReader ReaderOf(const Settings& settings)
{
    return [settings](const QString& section, const QString& key, const QString& def) {
        return section == "Effect" && settings.contains(key) ? settings.value(key) : def;
    };
}

// The state one generator step after `seed`, worked out on its own.
std::uint32_t StepOf(std::uint32_t seed) { return (std::uint64_t(seed) * 0x43FD43FDu + 0xC39EC3u) & 0xFFFFFFu; }

// A seed whose first draw (1..100) is r.
std::uint32_t SeedForDraw(int r)
{
    for (std::uint32_t seed = 0;; ++seed)
        if (int(std::uint64_t(StepOf(seed)) * 100 / 0x1000000) + 1 == r)
            return seed;
}

TEST(EffectChoiceTest, SeededDrawsFallIntoTheirBandAndTakeOneNumber)
{
    const Settings table{{"EffectNumber", "3"}, {"Effect_1", "Blend"}, {"Percent_1", "20"}, {"Effect_2", "Drag"},
                         {"Percent_2", "30"}, {"Effect_3", "Wipe"}, {"Percent_3", "50"}};
    const struct { int draw; const char* name; } cases[] = {
        {1, "Blend"}, {20, "Blend"}, {21, "Drag"}, {50, "Drag"}, {51, "Wipe"}, {100, "Wipe"}};
    for (const auto& c : cases) {
        const std::uint32_t seed = SeedForDraw(c.draw);
        seedRandom(seed);
        EXPECT_EQ(ChooseEffectName(ReaderOf(table)), QString(c.name)) << "draw " << c.draw;
        EXPECT_EQ(randomState(), StepOf(seed)) << "draw " << c.draw;
    }
}

TEST(EffectChoiceTest, WeightsCountsAndNamesAsTheSettingsHoldThem)
{
    const struct { const char* what; Settings settings; int draw; const char* name; } cases[] = {
        {"shares short of 100, inside", {{"EffectNumber", "2"}, {"Effect_1", "A"}, {"Percent_1", "30"}, {"Effect_2", "B"}, {"Percent_2", "30"}}, 60, "B"},
        {"shares short of 100, past", {{"EffectNumber", "2"}, {"Effect_1", "A"}, {"Percent_1", "30"}, {"Effect_2", "B"}, {"Percent_2", "30"}}, 61, "mask"},
        {"shares past 100", {{"EffectNumber", "2"}, {"Effect_1", "A"}, {"Percent_1", "90"}, {"Effect_2", "B"}, {"Percent_2", "90"}}, 100, "B"},
        {"all zero", {{"EffectNumber", "2"}, {"Effect_1", "A"}, {"Percent_1", "0"}, {"Effect_2", "B"}, {"Percent_2", "0"}}, 1, "mask"},
        {"negative weight pushes the draw on", {{"EffectNumber", "2"}, {"Effect_1", "A"}, {"Percent_1", "-10"}, {"Effect_2", "B"}, {"Percent_2", "15"}}, 6, "mask"},
        {"missing count", {{"Effect_1", "A"}, {"Percent_1", "100"}}, 1, "mask"},
        {"count not a number", {{"EffectNumber", "x"}, {"Effect_1", "A"}, {"Percent_1", "100"}}, 1, "mask"},
        {"count rounds half to even", {{"EffectNumber", "1.5"}, {"Effect_1", "A"}, {"Percent_1", "1"}, {"Effect_2", "B"}, {"Percent_2", "100"}}, 50, "B"},
        {"missing weight is 1", {{"EffectNumber", "2"}, {"Effect_1", "A"}, {"Effect_2", "B"}, {"Percent_2", "100"}}, 2, "B"},
        {"missing weight is 1, first draw", {{"EffectNumber", "2"}, {"Effect_1", "A"}, {"Effect_2", "B"}, {"Percent_2", "100"}}, 1, "A"},
        {"first weight not a number is 0", {{"EffectNumber", "2"}, {"Effect_1", "A"}, {"Percent_1", ""}, {"Effect_2", "B"}, {"Percent_2", "100"}}, 1, "B"},
        {"later weight not a number keeps the previous", {{"EffectNumber", "2"}, {"Effect_1", "A"}, {"Percent_1", "40"}, {"Effect_2", "B"}, {"Percent_2", "abc"}}, 80, "B"},
        {"later weight not a number, past", {{"EffectNumber", "2"}, {"Effect_1", "A"}, {"Percent_1", "40"}, {"Effect_2", "B"}, {"Percent_2", "abc"}}, 81, "mask"},
        {"empty winner name", {{"EffectNumber", "2"}, {"Percent_1", "100"}, {"Effect_2", "B"}, {"Percent_2", "100"}}, 1, "mask"},
        {"name as it stands", {{"EffectNumber", "1"}, {"Effect_1", "RndSquare"}, {"Percent_1", "100"}}, 100, "RndSquare"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EffectNameForDraw(ReaderOf(c.settings), c.draw), QString(c.name)) << c.what;
}

} // namespace
} // namespace tarnwick
