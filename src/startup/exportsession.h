#pragma once
// One export run put together: the loop that plays the album in the player
// core, the frame writer plugged into the core's effects engine, and the
// album's music as the video's soundtrack. The export dialog and the
// command-line export both drive it as their ExportPlayer.
//
// Window thread only; lives as long as the run. The video file is finished
// when the run ends, and at the latest when the session goes.

// ours
#include "exportloop.h"
#include "exportplayer.h"
#include "vcdframewriter.h"

// Qt
#include <QStringList>

namespace tarnwick {

class PlayerCore;

class ExportSession : public ExportPlayer {
public:
    // `core` is not owned and must outlive the session.
    explicit ExportSession(PlayerCore& core);
    ~ExportSession() override;

    void startExport(QSize frame, bool needNotMovie) override;
    void stopExport() override;
    int picturesDone() const override { return m_loop.picturesDone(); }

    ExportLoop& loop() { return m_loop; }
    VcdFrameWriter& writer() { return m_writer; }

    // The album's music files in album order, as full paths.
    static QStringList AlbumMusicFiles();

private:
    PlayerCore& m_core;
    ExportLoop m_loop;
    VcdFrameWriter m_writer;
};

} // namespace tarnwick
