#pragma once
// The export's frame writer: what the effects engine's frame hook does
// while exporting. Each call composes the picture area as it is now into
// the export frame (the preview picView: the area centred, the borders as
// they were, black at first) and appends it to the video file, one frame
// or a still of 25 frames a second. The video file is made on the first
// frame that has a file name.
//
// Window thread only, called from inside the transitions. The first
// failure of a run is reported once; later ones drop their frame silently.

// ours
#include "aviwriter.h"
#include "framesink.h"

// Qt
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

// std
#include <cstdint>
#include <functional>
#include <memory>

namespace tarnwick {

class Surface;

class VcdFrameWriter : public FrameSink {
public:
    // `display` is the player's picture area PM(0); not owned, must
    // outlive the writer.
    explicit VcdFrameWriter(const Surface& display);
    ~VcdFrameWriter() override;

    // The dialog's AviFile: the video file to write. Read at each frame
    // until one had a name; empty or blank writes nothing.
    QString AviFile;
    // The frame size (picView's inner size) and the album's picture size.
    QSize frameSize{352, 288};
    QSize albumSize;
    // The music of the video, in album order (see AviWriter).
    QStringList soundtrack;

    void writeFrames(std::int16_t stillSeconds) override;

    // The preview: the last frame written (shared, not copied, when the
    // picture area is the whole frame).
    QImage picView() const;
    // Called after every frame written (the dialog shows picView).
    std::function<void()> frameWritten;
    // Called with the description of the first failure of the run.
    std::function<void(const QString& description)> showFailure;

    std::int64_t framesWritten() const { return m_writer ? m_writer->FramesWritten() : 0; }
    // Completes the video file. True when there is none or it was
    // completed; false with the reason in lastError().
    bool finish();
    // No further frame is written (the run was stopped).
    void stop() { m_stopped = true; }
    QString lastError() const;

private:
    void fail(const QString& description);
    const QImage& compose();

    const Surface& m_display;
    QString m_fileName;
    QString m_finishError;
    std::unique_ptr<AviWriter> m_writer;
    QImage m_picView;
    bool m_composed = false;
    bool m_failedOnce = false;
    bool m_stopped = false;
};

} // namespace tarnwick
