#pragma once
// The video file writer of the export, on the FFmpeg libraries. The
// container and codecs follow the file name's extension (see VideoFormat):
// ".avi" MPEG-4 Part 2 with MP3 sound, ".mpg" a PAL VideoCD stream (MPEG-1
// video and Layer II sound in 2324-byte packs), ".mp4"/".mkv" H.264 with
// AAC. Frames are 25 a second.
//
// Made by the export's frame writer on its first frame and used on the
// window thread only; not re-entrant. FileName is set once before the first
// frame; each WRDIANSHI appends frames in call order; the file is finished
// (sound faded out and cut at the last frame, trailer written) by Finish()
// or, at the latest, when the object is destroyed.

// Qt
#include <QImage>
#include <QString>
#include <QStringList>

// std
#include <cstdint>
#include <memory>

namespace tarnwick {

class AviWriter {
public:
    AviWriter();
    ~AviWriter();
    AviWriter(const AviWriter&) = delete;
    AviWriter& operator=(const AviWriter&) = delete;

    // The video file to write. Set once, before the first frame; the file
    // is opened by the first WRDIANSHI.
    void SetFileName(const QString& fileName) { m_fileName = fileName; }
    const QString& FileName() const { return m_fileName; }

    // The soundtrack: music files played one after another in this order,
    // wrapping to the first, for the whole length of the video. Files that
    // cannot be decoded are left out; with none left the video has no sound
    // (a ".mpg" then carries silence, which a VideoCD needs). Set before
    // the first frame.
    void SetSoundtrack(const QStringList& musicFiles) { m_music = musicFiles; }

    // Appends `count` identical frames made from `frame` (any QImage
    // format; it is converted once, whatever the count). `width` and
    // `height` are the frame size in pixels; the first call fixes the
    // video's size and later frames of another size are scaled to it.
    // Returns false and sets LastError() when the file cannot be opened or
    // written, the size is not allowed, or count is below 1.
    bool WRDIANSHI(const QImage& frame, float width, float height, std::int16_t count);

    // Writes the rest of the sound (faded out over its last second), drains
    // the encoders and writes the trailer. Idempotent; false with
    // LastError() when the file could not be completed. A writer that never
    // got a frame writes nothing.
    bool Finish();

    // Description of the last failure, in words a user understands.
    const QString& LastError() const { return m_error; }
    // Frames appended so far.
    std::int64_t FramesWritten() const;

    // Why `fileName` at width x height cannot be written on this machine
    // (unknown extension, a size the format does not take, a codec the
    // FFmpeg libraries lack), or empty when it can. Asked before an export
    // starts, so that nothing is begun that cannot be finished.
    static QString Check(const QString& fileName, int width, int height);

private:
    struct Encoder;
    QString m_fileName;
    QStringList m_music;
    QString m_error;
    std::unique_ptr<Encoder> m_enc;
    bool m_finished = false;
};

} // namespace tarnwick
