// The settings file the package ships: its effect table is complete and
// consistent with the parameter dialog's sliders, every effect section lists
// exactly the tuning keys its effect reads, and with those values every
// effect lasts about two seconds on the virtual clock.

// ours
#include "effectfixture.h"

// Qt
#include <QFile>
#include <QHash>

#include <gtest/gtest.h>

// std
#include <cmath>

using namespace tarnwick;

namespace {

// "section/key" -> value of the shipped file, whose lines end in CR LF.
struct Profile {
    QString text;
    QHash<QString, QString> values;

    QString value(const QString& section, const QString& key) const { return values.value(section + '/' + key); }
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
    if (file.open(QIODevice::ReadOnly))
        p.text = QString::fromUtf8(file.readAll());
    QString section;
    for (const QString& line : p.text.split(QStringLiteral("\r\n"))) {
        if (line.startsWith('[') && line.endsWith(']'))
            section = line.mid(1, line.size() - 2);
        else if (const int eq = line.indexOf('='); eq > 0)
            p.values.insert(section + '/' + line.left(eq), line.mid(eq + 1));
    }
    return p;
}

} // namespace

TEST(ShippedProfile, EveryEffectIsListedWithTheKeysItReadsAndLastsAboutTwoSeconds)
{
    const Profile p = loadShippedProfile();
    ASSERT_FALSE(p.values.isEmpty()) << TARNWICK_SHIPPED_PROFILE;
    EXPECT_TRUE(p.text.count('\n') == p.text.count(QStringLiteral("\r\n")) && p.text.endsWith("\r\n"));
    EXPECT_EQ(p.number("Effect", "EffectNumber"), 8);
    EXPECT_EQ(p.number("Effect", "StopTime"), 5);
    EXPECT_EQ(p.number("Stop", "StopTime"), 5);
    EXPECT_EQ(p.number("Current", "MusicOpen"), 1);

    // The effects in table order, with their variant counts (Shutter: kinds).
    const std::pair<QString, int> effects[] = {{"Blend", 5},   {"Drag", 8},   {"Wipe", 22},     {"Mask", 12},
                                               {"Shutter", 4}, {"Matrix", 4}, {"RndSquare", 1}, {"LineTransform", 20}};
    int percents = 0, slides = 0;
    for (int i = 1; i <= 8; ++i) {
        percents += p.number("Effect", QStringLiteral("Percent_%1").arg(i));
        slides += p.number("Effect", QStringLiteral("SlideValue_%1").arg(i));
    }
    EXPECT_EQ(percents, 100);

    for (int i = 1; i <= 8; ++i) {
        // Named copies, not a structured binding: the setting reader below
        // captures the effect, which clang before 16 refuses for bindings.
        const QString effect = effects[i - 1].first;
        const int variants = effects[i - 1].second;
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
        for (int j = 1; j <= p.number(effect, "ItemNumbers"); ++j) {
            items << p.value(effect, QStringLiteral("Item_%1").arg(j));
            EXPECT_NE(p.number(effect, items.back()), -1) << items.back().toStdString();
        }
        // Variants are equally likely, so their mean is what a transition
        // of this effect lasts in the long run; single variants that run
        // one phase or half the frames by their nature may be shorter.
        std::int64_t total = 0;
        for (int v = 0; v < variants; ++v) {
            QStringList asked;
            test::EffectStage stage(32, 24);
            stage.host.setSettingReader([&](const QString& section, const QString& k, const QString& def) {
                if (section == effect && !asked.contains(k))
                    asked << k;
                const QString value = p.value(section, k);
                return value.isEmpty() ? def : value;
            });
            stage.movie.setForcedVariant(v);
            stage.run(effect);
            EXPECT_EQ(items, asked);
            EXPECT_TRUE(stage.host.failures().isEmpty());
            EXPECT_GE(stage.host.now(), 1000) << "variant " << v;
            EXPECT_LE(stage.host.now(), 3000) << "variant " << v;
            total += stage.host.now();
        }
        EXPECT_GE(total / variants, 1500);
        EXPECT_LE(total / variants, 3000);
    }
}
