#pragma once
// A stage for effect tests: the four surfaces prepared as the player
// prepares them (objTmp2 and objDest show the outgoing picture A, objScr the
// incoming picture B, objTmp black), an engine on a virtual host whose
// settings come from a map, and every refreshed frame of objDest kept on
// request.

// ours
#include "clsmovie.h"
#include "surface.h"
#include "vbrandom.h"
#include "virtualhost.h"

// Qt
#include <QHash>
#include <QImage>
#include <QString>

// std
#include <initializer_list>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace tarnwick::test {

// A picture whose every pixel differs from its neighbours, so that a frame
// drawn from the wrong place shows: r = x, g = y, b = base.
inline QImage gradientPicture(int w, int h, int base)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb((x * 7 + base) & 0xFF, (y * 5 + base) & 0xFF, base & 0xFF));
    return img;
}

inline QImage solidPicture(int w, int h, QRgb rgb)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(rgb);
    return img;
}

// Which picture each pixel of `frame` shows at its own place: 'A' for `a`,
// 'B' for `b`, '?' for neither; rows joined by '/'.
inline std::string pictureMap(const QImage& frame, const QImage& a, const QImage& b)
{
    std::string map;
    for (int y = 0; y < frame.height(); ++y) {
        if (y > 0)
            map += '/';
        for (int x = 0; x < frame.width(); ++x) {
            const QRgb p = frame.pixel(x, y) & 0xFFFFFFu;
            map += p == (a.pixel(x, y) & 0xFFFFFFu) ? 'A' : p == (b.pixel(x, y) & 0xFFFFFFu) ? 'B' : '?';
        }
    }
    return map;
}

// The same per column (across) or per row (down): 'A' or 'B' when every
// pixel of the line shows that picture at its own place, else '?'.
inline std::string lineMap(const QImage& frame, const QImage& a, const QImage& b, bool columns)
{
    std::string map;
    const int lines = columns ? frame.width() : frame.height();
    const int along = columns ? frame.height() : frame.width();
    for (int l = 0; l < lines; ++l) {
        char shown = 0;
        for (int t = 0; t < along; ++t) {
            const int x = columns ? l : t;
            const int y = columns ? t : l;
            const QRgb p = frame.pixel(x, y) & 0xFFFFFFu;
            const char c = p == (a.pixel(x, y) & 0xFFFFFFu) ? 'A' : p == (b.pixel(x, y) & 0xFFFFFFu) ? 'B' : '?';
            shown = shown == 0 || shown == c ? c : '?';
        }
        map += shown;
    }
    return map;
}
inline std::string columnMap(const QImage& f, const QImage& a, const QImage& b) { return lineMap(f, a, b, true); }
inline std::string rowMap(const QImage& f, const QImage& a, const QImage& b) { return lineMap(f, a, b, false); }

// One rectangle of an expected frame: w x h pixels at (x, y) taken from
// (sx, sy) of `from`.
struct Copy {
    const QImage* from;
    int x, y, w, h, sx, sy;
};

// `base` with the rectangles copied onto it in order, each clipped to both
// pictures: how a frame is expected to look, written as rectangles worked
// out by hand.
inline QImage composed(const QImage& base, std::initializer_list<Copy> copies)
{
    QImage out = base.copy();
    for (const Copy& c : copies) {
        for (int j = 0; j < c.h; ++j) {
            for (int i = 0; i < c.w; ++i) {
                const int x = c.x + i, y = c.y + j, sx = c.sx + i, sy = c.sy + j;
                if (out.valid(x, y) && c.from->valid(sx, sy))
                    out.setPixel(x, y, c.from->pixel(sx, sy));
            }
        }
    }
    return out;
}

struct EffectStage {
    EffectStage(int w, int h, const QImage& a, const QImage& b)
        : objScr(w, h), objTmp(w, h), objTmp2(w, h), objDest(w, h), movie(host)
    {
        A = a;
        B = b;
        objTmp2.setPicture(a);
        objDest.setPicture(a);
        objScr.setPicture(b);
        host.setSettingReader([this](const QString& section, const QString& key, const QString& def) {
            const auto it = settings.constFind(section.toLower() + QLatin1Char('/') + key.toLower());
            return it == settings.constEnd() ? def : *it;
        });
        host.setRefreshHandler([this](const Surface& s) {
            if (&s != &objDest)
                return;
            ++destRefreshes;
            if (keepFrames)
                frames.push_back(s.image().copy());
            if (pick.count(destRefreshes))
                picked[destRefreshes] = s.image().copy();
        });
    }
    // Gradients A and B of the given size that differ in every pixel.
    static EffectStage gradients(int w, int h)
    {
        return EffectStage(w, h, gradientPicture(w, h, 3), gradientPicture(w, h, 140));
    }
    // Solid A (dark red) and B (light green) of the given size.
    EffectStage(int w, int h)
        : EffectStage(w, h, solidPicture(w, h, qRgb(200, 0, 0)), solidPicture(w, h, qRgb(0, 200, 0)))
    {
    }

    void set(const QString& section, const QString& key, const QString& value)
    {
        settings.insert(section.toLower() + QLatin1Char('/') + key.toLower(), value);
    }

    // Seeds the generator and runs "Effect_" + name; false when no effect has
    // the name.
    bool run(const QString& name, std::uint32_t seed = 1)
    {
        seedRandom(seed);
        return movie.callByName(QStringLiteral("Effect_") + name, objScr, objTmp, objTmp2, objDest);
    }

    // True when objDest shows B in every pixel.
    bool destShowsB() const { return objDest.image() == objScr.image(); }

    QImage A, B;
    Surface objScr, objTmp, objTmp2, objDest;
    VirtualHost host;
    clsMovie movie;
    QHash<QString, QString> settings;
    bool keepFrames = false;
    std::vector<QImage> frames;
    // Refreshes of objDest so far; the frames whose 1-based refresh number
    // is in `pick` are kept in `picked`, without keeping every frame.
    int destRefreshes = 0;
    std::set<int> pick;
    std::map<int, QImage> picked;
};

} // namespace tarnwick::test
