#pragma once
// What one point of the player's picture shows over time, as the names of
// the colour album's pictures in the order they came (ColourAlbum). The
// point is read every few milliseconds, so even a picture that stays for a
// single transition frame is seen.

// ours
#include "colouralbum.h"
#include "x11session.h"

// Qt
#include <QPoint>
#include <QStringList>

// std
#include <functional>

namespace tarnwick::test {

class DisplayTrace {
public:
    // Reads `at` of `window`, which must outlive the trace; the trace
    // begins with what the point shows now.
    DisplayTrace(const WindowPixels& window, QPoint at);

    // Samples until `done` holds, the window goes away or `timeoutMs`
    // passes (a guard against a hung player, not a timing check). Returns
    // whether `done` held.
    bool until(const std::function<bool(const DisplayTrace&)>& done, int timeoutMs = 30000);

    // Every stretch seen so far: a picture's name for as long as it stayed,
    // ColourAlbum::kInBetween for a stretch of other colours (transition
    // frames, the window before its first paint).
    const QStringList& names() const { return m_names; }
    // The pictures only, without the stretches in between.
    QStringList pictures() const;
    bool saw(const QString& name) const { return m_names.contains(name); }
    bool windowGone() const { return m_gone; }

private:
    void sample();

    const WindowPixels& m_window;
    QPoint m_at;
    QStringList m_names;
    bool m_gone = false;
};

// The stretches joined for a readable comparison: "a > ~ > b".
std::string joined(const QStringList& names);

} // namespace tarnwick::test
