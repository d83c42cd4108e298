#pragma once
// A stage for effect tests: the player's four surfaces (objTmp2 and objDest show A, objScr B) and an engine on a
// virtual host with settings from a map, keeping the frames of objDest whose refresh numbers are in `pick`.

// ours
#include "clsmovie.h"
#include "surface.h"
#include "vbrandom.h"
#include "virtualhost.h"

// Qt
#include <QHash>
#include <QImage>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

// std
#include <functional>
#include <map>
#include <set>

namespace tarnwick::test {

// Every pixel differs from its neighbours: r = x, g = y, b = base.
inline QImage gradientPicture(int w, int h, int base)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb((x * 7 + base) & 0xFF, (y * 5 + base) & 0xFF, base & 0xFF));
    return img;
}

// The settings file's tuning keys by short name: Times, Interval, X, Y.
inline QString settingKey(const QString& effect, const QString& name)
{
    static const QHash<QString, QString> keys = {
        {"Shutter/X", "ShutterBlock(how many shutters)"},
        {"Matrix/X", "MatrixBlock_X(How many squares at horizontal)"},
        {"Matrix/Y", "MatrixBlock_Y(How many squares at vertical)"},
        {"RndSquare/X", "RndSquareNumber_X(How many squares at horizontal)"},
        {"RndSquare/Y", "RndSquareNumber_Y(How many squares at vertical"}, // no closing parenthesis
        {"LineTransform/X", "LineNumber_X(How many lines at horizontal)"},
        {"LineTransform/Y", "LineNumber_Y(How many lines at vertical)"},
    };
    if (name == "Times")
        return effect + "Times(How many loop times to finish?)";
    if (name == "Interval")
        return effect + "Interval(ms)(How many milliseconds would computer relax between two process)";
    return keys.value(effect + '/' + name);
}

// Compares `frame` with `want(x, y)` (0xRRGGBB) and names the first pixel that differs.
inline testing::AssertionResult frameIs(const QImage& frame, const std::function<QRgb(int, int)>& want)
{
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x)
            if (const QRgb got = frame.pixel(x, y) & 0xFFFFFFu, expected = want(x, y) & 0xFFFFFFu; got != expected)
                return testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is " << std::hex << got
                                                   << ", expected " << expected;
    return testing::AssertionSuccess();
}

struct EffectStage {
    EffectStage(int w, int h) // gradients A and B differ in every pixel
        : A(gradientPicture(w, h, 3)), B(gradientPicture(w, h, 140)), objScr(w, h), objTmp(w, h), objTmp2(w, h),
          objDest(w, h), movie(host)
    {
        objTmp2.setPicture(A);
        objDest.setPicture(A);
        objScr.setPicture(B);
        host.setSettingReader([this](const QString& section, const QString& key, const QString& def) {
            return settings.value(section.toLower() + '/' + key.toLower(), def);
        });
        host.setRefreshHandler([this](const Surface& s) {
            if (&s == &objDest && pick.count(++destRefreshes))
                picked[destRefreshes] = s.image().copy();
        });
    }

    // Settings by short name, "Times=8 Interval=15 X=3"; an empty value stays empty.
    void configure(const QString& effect, const QString& shortSettings)
    {
        for (const QString& item : shortSettings.split(' ', Qt::SkipEmptyParts)) {
            const QString key = settingKey(effect, item.section('=', 0, 0));
            EXPECT_FALSE(key.isEmpty()) << item.toStdString();
            settings.insert(effect.toLower() + '/' + key.toLower(), item.section('=', 1));
        }
    }

    // Seeds the generator and runs "Effect_" + name; false when no effect has the name.
    bool run(const QString& name, std::uint32_t seed = 1)
    {
        seedRandom(seed);
        return movie.callByName(QStringLiteral("Effect_") + name, objScr, objTmp, objTmp2, objDest);
    }

    QImage A, B;
    Surface objScr, objTmp, objTmp2, objDest;
    VirtualHost host;
    clsMovie movie;
    QHash<QString, QString> settings;
    int destRefreshes = 0;
    std::set<int> pick;
    std::map<int, QImage> picked;
};

} // namespace tarnwick::test
