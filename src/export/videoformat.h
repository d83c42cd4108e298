#pragma once
// The kinds of video file the export writes, chosen by the file name's
// extension: the container, the codecs and their settings. Immutable; the
// instances live for the whole program.

// Qt
#include <QString>
#include <QStringList>

struct AVCodecContext;
struct AVDictionary;
struct AVFormatContext;

namespace tarnwick {

class VideoFormat {
public:
    // The format for `fileName`'s extension (any case), or null when the
    // export writes no such files.
    static const VideoFormat* ForFileName(const QString& fileName);
    // The extensions written, with their dots, in the catalogue order.
    static QStringList Extensions();

    // Why a width x height picture cannot be written in this format or by
    // the FFmpeg libraries of this machine, or empty when it can.
    QString Problem(int width, int height) const;

    // The FFmpeg names of the muxer and the encoders.
    const char* Muxer() const { return m_muxer; }
    const char* VideoEncoder() const { return m_video; }
    const char* AudioEncoder() const { return m_audio; }
    // True when the file carries a sound stream even without music.
    bool AlwaysSound() const { return m_alwaysSound; }

    // Settings of a video encoder of width x height not yet opened, and its
    // private options. Frames are 25 a second, yuv420p.
    void SetUpVideo(AVCodecContext* enc, AVDictionary** options) const;
    // Settings of the audio encoder not yet opened: 44.1 kHz stereo in the
    // encoder's first sample format.
    void SetUpAudio(AVCodecContext* enc) const;
    // Settings of the muxer before its header, and its private options.
    void SetUpMuxer(AVFormatContext* mux, AVDictionary** options) const;

    enum class Kind { Avi, VideoCd, Mp4, Mkv };
    VideoFormat(Kind kind, const char* extension, const char* muxer, const char* video,
                const char* audio);

private:
    Kind m_kind;
    const char* m_extension;
    const char* m_muxer;
    const char* m_video;
    const char* m_audio;
    bool m_alwaysSound;
};

} // namespace tarnwick
