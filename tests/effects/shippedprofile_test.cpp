// The settings file the package ships: its effect table is complete and
// consistent with the parameter dialog's sliders, every effect section lists
// exactly the tuning keys its effect reads, and with those values every
// effect lasts about two seconds on the virtual clock.

// ours
#include "effectfixture.h"

// Qt
#include <QFile>
#include <QMap>
#include <QStringList>

#include <gtest/gtest.h>

// std
#include <cmath>
#include <vector>

using namespace tarnwick;

namespace {

// Sections in file order, each with its entries in file order. Lines end in
// CR LF; a line is a header "[name]" or key "=" value.
struct Profile {
    bool crlfOnly = true;
    QStringList sections;
    QMap<QString, QList<QPair<QString, QString>>> entries;

    QString value(const QString& section, const QString& key) const
    {
        for (const auto& [k, v] : entries.value(section))
            if (k == key)
                return v;
        return QString();
    }
    int number(const QString& section, const QString& key) const
    {
        bool ok = false;
        const int n = value(section, key).toInt(&ok);
        return ok ? n : -1;
    }
};

Profile loadShippedProfile()
{
    Profile p;
    QFile file(QStringLiteral(TARNWICK_SHIPPED_PROFILE));
    if (!file.open(QIODevice::ReadOnly))
        return p;
    const QString text = QString::fromUtf8(file.readAll());
    p.crlfOnly = text.count('\n') == text.count(QStringLiteral("\r\n")) && text.endsWith("\r\n");
    QString section;
    for (const QString& line : text.split(QStringLiteral("\r\n"))) {
        if (line.startsWith('[') && line.endsWith(']')) {
            section = line.mid(1, line.size() - 2);
            p.sections << section;
        } else if (const int eq = line.indexOf('='); eq > 0) {
            p.entries[section].append({line.left(eq), line.mid(eq + 1)});
        }
    }
    return p;
}

// The effects in the order of the table, with their variant counts (Shutter:
// kinds, each with and without stagger).
struct EffectKind {
    const char* name;
    int variants;
};
const EffectKind kEffects[] = {{"Blend", 5},   {"Drag", 8},   {"Wipe", 22},      {"Mask", 12},
                               {"Shutter", 4}, {"Matrix", 4}, {"RndSquare", 1}, {"LineTransform", 20}};

// Feeds the stage from the shipped file and records the keys the effect
// asks for in its own section, first asks only.
void useProfile(test::EffectStage& stage, const Profile& p, const QString& effect, QStringList* asked)
{
    stage.host.setSettingReader([&p, effect, asked](const QString& section, const QString& key, const QString& def) {
        if (asked && section == effect && !asked->contains(key))
            *asked << key;
        const QString v = p.value(section, key);
        return v.isEmpty() ? def : v;
    });
}

} // namespace

TEST(ShippedProfile, EffectTableIsCompleteAndEachSectionNamesTheKeysItsEffectReads)
{
    const Profile p = loadShippedProfile();
    ASSERT_FALSE(p.sections.isEmpty()) << TARNWICK_SHIPPED_PROFILE;
    EXPECT_TRUE(p.crlfOnly);
    EXPECT_EQ(p.number("Effect", "EffectNumber"), 8);
    EXPECT_EQ(p.number("Effect", "StopTime"), 5);
    EXPECT_EQ(p.number("Stop", "StopTime"), 5);
    EXPECT_EQ(p.number("Current", "MusicOpen"), 1);

    int percents = 0;
    int slides = 0;
    for (int i = 1; i <= 8; ++i) {
        percents += p.number("Effect", QStringLiteral("Percent_%1").arg(i));
        slides += p.number("Effect", QStringLiteral("SlideValue_%1").arg(i));
    }
    EXPECT_EQ(percents, 100);

    for (int i = 1; i <= 8; ++i) {
        const QString effect = QString::fromLatin1(kEffects[i - 1].name);
        SCOPED_TRACE(effect.toStdString());
        const auto key = [i](const char* k) { return QStringLiteral("%1_%2").arg(QLatin1String(k)).arg(i); };
        EXPECT_EQ(p.value("Effect", key("Effect")), effect);
        EXPECT_FALSE(p.value("Effect", key("Caption")).trimmed().isEmpty());
        EXPECT_TRUE(p.value("Effect", key("Description")).endsWith('.'));
        EXPECT_EQ(p.number("Effect", key("HasDetail")), 1);
        // Moving any slider recomputes every share from the sliders; the
        // shipped shares are what that gives.
        const double share = p.number("Effect", key("SlideValue")) * 100.0 / slides;
        EXPECT_EQ(static_cast<int>(std::nearbyint(share)), p.number("Effect", key("Percent")));

        QStringList items;
        const int n = p.number(effect, "ItemNumbers");
        for (int j = 1; j <= n; ++j) {
            items << p.value(effect, QStringLiteral("Item_%1").arg(j));
            bool numeric = false;
            p.value(effect, items.back()).toInt(&numeric);
            EXPECT_TRUE(numeric) << items.back().toStdString();
        }
        QStringList asked;
        auto stage = test::EffectStage::gradients(16, 12);
        useProfile(stage, p, effect, &asked);
        stage.run(effect);
        EXPECT_EQ(items, asked);
    }
}

TEST(ShippedProfile, EveryEffectLastsAboutTwoSeconds)
{
    const Profile p = loadShippedProfile();
    ASSERT_FALSE(p.sections.isEmpty()) << TARNWICK_SHIPPED_PROFILE;
    for (const EffectKind& e : kEffects) {
        SCOPED_TRACE(e.name);
        // Variants are equally likely, so their mean is what a transition
        // of this effect lasts in the long run. Single variants that run
        // one phase or half the frames by their nature (LineTransform's
        // one-phase variants, Wipe's masked ones) may be shorter.
        std::int64_t total = 0;
        for (int v = 0; v < e.variants; ++v) {
            auto stage = test::EffectStage::gradients(32, 24);
            useProfile(stage, p, QString::fromLatin1(e.name), nullptr);
            stage.movie.setForcedVariant(v);
            stage.run(e.name);
            EXPECT_TRUE(stage.host.failures().isEmpty());
            EXPECT_GE(stage.host.now(), 1000) << "variant " << v;
            EXPECT_LE(stage.host.now(), 3000) << "variant " << v;
            total += stage.host.now();
        }
        const double mean = double(total) / e.variants;
        EXPECT_GE(mean, 1500);
        EXPECT_LE(mean, 3000);
    }
}
