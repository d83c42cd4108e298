#pragma once
// What the export dialog asks of the hidden player window that plays the
// album into the video. The start-up routine connects the two.

// Qt
#include <QSize>

namespace tarnwick {

class ExportPlayer {
public:
    virtual ~ExportPlayer() = default;
    // Plays the whole album into frames of `frame` size, the picture area
    // fitted inside; `needNotMovie` changes pictures without transitions.
    // Returns once the run is under way; the program ends with it.
    virtual void startExport(QSize frame, bool needNotMovie) = 0;
    // Ends the run early: the program ends once the picture change in hand
    // is over, with every frame written so far in a finished file.
    virtual void stopExport() = 0;
    // Pictures written so far, the opening still included.
    virtual int picturesDone() const = 0;
};

} // namespace tarnwick
