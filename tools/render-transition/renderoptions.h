#pragma once
// The command line of render-transition, read into one value. Parsing
// never exits the program: main() decides what a result means.

// ours
#include "frameselection.h"

// Qt
#include <QSize>
#include <QString>
#include <QStringList>

// std
#include <cstdint>
#include <optional>

namespace tarnwick {

struct RenderOptions {
    QString effect;        // effect name as the settings spell it, any case
    QString from;          // outgoing picture A
    QString to;            // incoming picture B
    QString background;    // album background for Drag; empty = none
    QSize size;            // invalid = the size of A
    int variant = -1;      // forced variant (Shutter: kind); -1 = drawn
    int stagger = -1;      // forced Shutter stagger 0 or 1; -1 = drawn
    std::uint32_t seed = 0;
    QString settings;      // settings file; empty = the shipped defaults
    bool exportMode = false;
    QString outDir = QStringLiteral(".");
    FrameSelection frames;
};

struct ParsedOptions {
    enum class Outcome { Run, Help, Error };
    Outcome outcome = Outcome::Error;
    RenderOptions options; // for Run
    QString text;          // the help text (Help) or a one-line message (Error)
};

// Reads the arguments (without the program name). Checks forms and ranges
// only; files are opened later.
ParsedOptions parseRenderOptions(const QStringList& arguments);

} // namespace tarnwick
