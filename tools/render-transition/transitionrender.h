#pragma once
// One transition rendered off screen, as the player would show it: the four
// surfaces prepared as the transition run prepares them, the effect chosen
// by name and run on a virtual clock, and the refreshed display frames
// written as PNG files. Used once per run of the tool, on the main thread.

// ours
#include "renderoptions.h"

// Qt
#include <QImage>
#include <QString>

// std
#include <cstdint>

namespace tarnwick {

struct RenderSummary {
    int frames = 0;              // refreshes of the display surface
    std::int64_t hooks = 0;      // calls of the frame hook with 0
    std::int64_t virtualMs = 0;  // virtual duration of the effect
    QString failure;             // the effect's failure description, if any
    QString writeError;          // the first frame that could not be written

    // "frames=N hooks=H virtual_ms=T"
    QString line() const;
};

class TransitionRender {
public:
    explicit TransitionRender(RenderOptions options);

    // Reads the pictures (scaled to the render size), checks the settings
    // file and makes the output folder. False with a one-line message when
    // any of them fails.
    bool prepare(QString* message);

    // True when the effect name matches one of the engine's effects.
    bool knowsEffect() const;

    // Seeds the generator, draws the effect choice's number, runs the effect
    // and writes the selected frames. Call after prepare().
    RenderSummary run();

    // The path of frame `refresh` (1-based) in the output folder.
    QString framePath(int refresh) const;

private:
    QString settingsPath() const;

    RenderOptions m_options;
    QImage m_a;
    QImage m_b;
    QImage m_background;
};

} // namespace tarnwick
