#pragma once
// The effect choice of the transition run: one effect name drawn by weighted
// chance from the "Effect" section of the player settings ("EffectNumber",
// "Effect_" + i, "Percent_" + i). The caller seeds the program-wide random
// generator beforehand (the player seeds it from the clock before each
// choice); the choice takes exactly one number from it. Window thread only.

// Qt
#include <QString>

// std
#include <cstdint>
#include <functional>

namespace tarnwick {

// Reads one setting: (section, key, default) -> value. The window passes
// ReadPlayerSetting; tests pass a table.
using SettingReader = std::function<QString(QString, QString, QString)>;

// The effect name for a draw r in 1..100: entries are tried in increasing
// order and the first whose running weight reaches r wins. "mask" when no
// entry wins or the winner's name is empty.
QString EffectNameForDraw(const SettingReader& readSetting, std::int64_t r);

// Draws r = integer part of (Rnd() * 100) + 1 and returns the name it picks.
QString ChooseEffectName(const SettingReader& readSetting);

} // namespace tarnwick
