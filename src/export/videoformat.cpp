#include "videoformat.h"

// Qt
#include <QFileInfo>

// FFmpeg
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

// std
#include <array>

namespace tarnwick {

namespace {

constexpr int kFps = 25;
constexpr int kSampleRate = 44100;
constexpr int kMinSide = 16;
// MPEG-4 Visual codes width and height in 13 bits.
constexpr int kMaxSideMpeg4 = 8190;
// The largest picture x264 takes.
constexpr int kMaxSideH264 = 16384;
constexpr int kVcdWidth = 352;
constexpr int kVcdHeight = 288;

const std::array<VideoFormat, 4> kFormats{{
    {VideoFormat::Kind::Avi, ".avi", "avi", "mpeg4", "libmp3lame"},
    {VideoFormat::Kind::VideoCd, ".mpg", "vcd", "mpeg1video", "mp2"},
    {VideoFormat::Kind::Mp4, ".mp4", "mp4", "libx264", "aac"},
    {VideoFormat::Kind::Mkv, ".mkv", "matroska", "libx264", "aac"},
}};

} // namespace

VideoFormat::VideoFormat(Kind kind, const char* extension, const char* muxer, const char* video,
                         const char* audio)
    : m_kind(kind), m_extension(extension), m_muxer(muxer), m_video(video), m_audio(audio),
      m_alwaysSound(kind == Kind::VideoCd)
{
}

const VideoFormat* VideoFormat::ForFileName(const QString& fileName)
{
    const QString suffix = QLatin1Char('.') + QFileInfo(fileName).suffix();
    for (const VideoFormat& f : kFormats) {
        if (suffix.compare(QLatin1String(f.m_extension), Qt::CaseInsensitive) == 0)
            return &f;
    }
    return nullptr;
}

QStringList VideoFormat::Extensions()
{
    QStringList list;
    for (const VideoFormat& f : kFormats)
        list << QLatin1String(f.m_extension);
    return list;
}

QString VideoFormat::Problem(int width, int height) const
{
    const QString ext = QLatin1String(m_extension);
    if (m_kind == Kind::VideoCd) {
        if (width != kVcdWidth || height != kVcdHeight)
            return QStringLiteral("A VideoCD (%1) has pictures of %2x%3 pixels, not %4x%5.")
                .arg(ext).arg(kVcdWidth).arg(kVcdHeight).arg(width).arg(height);
    } else {
        const int maxSide = m_kind == Kind::Avi ? kMaxSideMpeg4 : kMaxSideH264;
        if (width < kMinSide || height < kMinSide || width > maxSide || height > maxSide)
            return QStringLiteral("A %1 video is %2 to %3 pixels wide and high, not %4x%5.")
                .arg(ext).arg(kMinSide).arg(maxSide).arg(width).arg(height);
        // yuv420p stores colour for 2x2 pixel blocks.
        if (width % 2 != 0 || height % 2 != 0)
            return QStringLiteral("A %1 video needs an even width and height, not %2x%3.")
                .arg(ext).arg(width).arg(height);
    }
    if (!av_guess_format(m_muxer, nullptr, nullptr))
        return QStringLiteral("The FFmpeg libraries of this machine cannot write %1 files "
                              "(the \"%2\" muxer is missing).")
            .arg(ext, QLatin1String(m_muxer));
    for (const char* name : {m_video, m_audio}) {
        if (!avcodec_find_encoder_by_name(name))
            return QStringLiteral("The FFmpeg libraries of this machine lack the \"%1\" encoder "
                                  "that %2 files need.")
                .arg(QLatin1String(name), ext);
    }
    return {};
}

void VideoFormat::SetUpVideo(AVCodecContext* enc, AVDictionary** options) const
{
    enc->time_base = AVRational{1, kFps};
    enc->framerate = AVRational{kFps, 1};
    enc->pix_fmt = AV_PIX_FMT_YUV420P;
    enc->sample_aspect_ratio = AVRational{1, 1};
    switch (m_kind) {
    case Kind::Avi:
        // A fixed quantiser: stills between transitions then cost next to
        // nothing, and the quality does not depend on the picture size.
        enc->flags |= AV_CODEC_FLAG_QSCALE;
        enc->global_quality = FF_QP2LAMBDA * 3;
        enc->gop_size = 250;
        enc->max_b_frames = 0;
        enc->thread_count = 0;
        // The tag most stand-alone players know MPEG-4 Visual by.
        enc->codec_tag = MKTAG('X', 'V', 'I', 'D');
        break;
    case Kind::VideoCd:
        // The PAL VideoCD constant bit rate and its decoder buffer.
        enc->bit_rate = 1150000;
        enc->rc_max_rate = 1150000;
        enc->rc_min_rate = 1150000;
        enc->rc_buffer_size = 40 * 1024 * 8;
        enc->gop_size = 15;
        enc->max_b_frames = 2;
        // A VideoCD has 4:3 pictures on PAL pixels.
        enc->sample_aspect_ratio = AVRational{59, 54};
        break;
    case Kind::Mp4:
    case Kind::Mkv:
        av_dict_set(options, "preset", "veryfast", 0);
        av_dict_set(options, "crf", "21", 0);
        enc->thread_count = 0;
        break;
    }
}

void VideoFormat::SetUpAudio(AVCodecContext* enc) const
{
    enc->sample_rate = kSampleRate;
    enc->time_base = AVRational{1, kSampleRate};
    const AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    av_channel_layout_copy(&enc->ch_layout, &stereo);
    enc->sample_fmt = enc->codec->sample_fmts ? enc->codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
    switch (m_kind) {
    case Kind::Avi: enc->bit_rate = 192000; break;
    case Kind::VideoCd: enc->bit_rate = 224000; break;
    case Kind::Mp4:
    case Kind::Mkv: enc->bit_rate = 160000; break;
    }
}

void VideoFormat::SetUpMuxer(AVFormatContext* mux, AVDictionary** options) const
{
    switch (m_kind) {
    case Kind::VideoCd:
        // Sectors of 2324 bytes at the CD's 75 sectors a second; the start
        // delay and the interleave match what VideoCD players expect.
        av_dict_set(options, "packetsize", "2324", 0);
        av_dict_set(options, "muxrate", "1411200", 0);
        av_dict_set(options, "preload", "440000", 0);
        mux->max_delay = 700000;
        break;
    case Kind::Mp4:
        // The index before the data lets players start before the whole
        // file has been read.
        av_dict_set(options, "movflags", "+faststart", 0);
        break;
    case Kind::Avi:
    case Kind::Mkv: break;
    }
}

} // namespace tarnwick
