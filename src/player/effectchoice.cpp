#include "effectchoice.h"

// ours
#include "numbertext.h"
#include "vbrandom.h"

namespace tarnwick {

namespace {

const QString kSection = QStringLiteral("Effect");
const QString kFallback = QStringLiteral("mask");

// A text that is not a whole number leaves the previous number in place.
std::int32_t ConvertOrKeep(const QString& text, std::int32_t previous)
{
    const auto value = TextToInt32(text);
    return value ? *value : previous;
}

} // namespace

QString EffectNameForDraw(const SettingReader& readSetting, std::int64_t r)
{
    const std::int32_t count = ConvertOrKeep(readSetting(kSection, QStringLiteral("EffectNumber"), QStringLiteral("0")), 0);
    std::int32_t weight = 0;
    for (std::int32_t i = 1; i <= count; ++i) {
        const QString index = QString::number(i);
        weight = ConvertOrKeep(readSetting(kSection, QStringLiteral("Percent_") + index, QStringLiteral("1")), weight);
        if (weight >= r) {
            const QString name = readSetting(kSection, QStringLiteral("Effect_") + index, QString());
            return name.isEmpty() ? kFallback : name;
        }
        // 64-bit so that a huge negative weight cannot overflow; r only grows then.
        r -= weight;
    }
    return kFallback;
}

QString ChooseEffectName(const SettingReader& readSetting)
{
    const auto r = static_cast<std::int64_t>(Rnd() * 100) + 1;
    return EffectNameForDraw(readSetting, r);
}

} // namespace tarnwick
