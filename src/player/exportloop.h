#pragma once
// The export run of the player window: switches the player into export
// mode, plays the album unattended from the background through the front
// cover, every strip entry of every category and the back cover, and ends
// the window at the end of the album. Every frame the transitions draw goes
// to the engine's frame sink (the export's frame writer), which the owner
// plugs into the engine; the loop only drives the album.
//
// Window thread only. Stop and a close can come at any moment, from inside
// a transition too: they are carried out as soon as the picture change in
// hand is over.

// ours
#include "playercore.h"

// Qt
#include <QObject>
#include <QSize>

namespace tarnwick {

class ExportLoop : public QObject {
    Q_OBJECT
public:
    // `core` is not owned and must outlive the loop; its tmrVCDCaiYang
    // drives the loop's steps.
    explicit ExportLoop(PlayerCore& core, QObject* parent = nullptr);

    // The picture area inside a frame of w x h for an album of aw x ah:
    // the album's proportions kept, spanning the width when the frame is
    // not wider than the album, else the height; rounded halves to even.
    static QSize FitPicture(int w, int h, int aw, int ah);

    // Starts the run for frames of `frame` size: places the display at the
    // fitted size, enters export mode, writes the background as the
    // opening still, plays the front cover and arms the loop's timer.
    // `needNotMovie` changes every picture without animation.
    void Start(QSize frame, bool needNotMovie);
    // Ends the run early: no further step, and the window closes once the
    // picture change in hand is over (at once when none is).
    void Stop();

    // Entering export mode: the engine's export switch, the music box off,
    // the category list, and the album background at the album's size as
    // the engine's background and the picture on show.
    void InitVcdCaiYang();
    // One step of the loop: the next strip entry with its transition and
    // still, the next category when the strip is used up, the back cover
    // and the window's close after the last category.
    void tick();

    // How many pictures the run shows (the background, the front cover, every
    // strip entry of every category, the back cover); known before Start.
    static int PicturesToShow();
    // Pictures shown so far, the background's opening still included.
    int picturesDone() const;

signals:
    // The window was asked to close: the run is over.
    void ended();

private:
    bool stopRequested() const;
    void end();

    PlayerCore& m_core;
    bool m_started = false;
    bool m_ended = false;
    bool m_stopping = false;
    bool m_inTick = false;
    int m_runsBefore = 0;
};

} // namespace tarnwick
