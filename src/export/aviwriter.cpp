#include "aviwriter.h"

// ours
#include "soundtrack.h"
#include "videoformat.h"
#include "yuvconverter.h"

// Qt
#include <QFile>
#include <QFileInfo>

// FFmpeg
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/error.h>
#include <libavutil/log.h>
#include <libswscale/swscale.h>
}

// std
#include <algorithm>
#include <cstring>

namespace tarnwick {

namespace {

constexpr std::int64_t kSamplesPerFrame = 44100 / 25;
// The sound fades out over the last second.
constexpr std::int64_t kFadeSamples = 44100;

// QImage::Format_RGB32 and the ARGB32 formats hold 0xAARRGGBB words.
constexpr AVPixelFormat kRgbWords =
    Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? AV_PIX_FMT_BGR0 : AV_PIX_FMT_0RGB;

QString FfmpegText(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return QString::fromLocal8Bit(text);
}

// Pictures from 720 lines up are HD and take the HD colours.
bool IsHd(int height) { return height >= 720; }

} // namespace

// The open file and its encoders. Failures come back as the words for
// LastError(); empty means success.
struct AviWriter::Encoder {
    QString fileName;
    AVFormatContext* mux = nullptr;
    AVCodecContext* video = nullptr;
    AVCodecContext* audio = nullptr;
    AVStream* videoStream = nullptr;
    AVStream* audioStream = nullptr;
    SwsContext* scaler = nullptr;
    AVFrame* picture = nullptr;
    AVFrame* sound = nullptr;
    AVPacket* packet = nullptr;
    std::unique_ptr<Soundtrack> soundtrack;
    int width = 0;
    int height = 0;
    // The picture size the scaler was made for.
    int sourceWidth = 0;
    int sourceHeight = 0;
    std::int64_t frames = 0;
    std::int64_t samples = 0;
    // A write went wrong: nothing more is written.
    bool failed = false;
    bool completed = false;

    ~Encoder() { Release(); }

    QString Fail(const QString& what, int code = 0)
    {
        QString text = QStringLiteral("Cannot write the video file \"%1\": %2").arg(fileName, what);
        if (code < 0)
            text += QStringLiteral(" (%1)").arg(FfmpegText(code));
        return text + QLatin1Char('.');
    }

    void Release()
    {
        sws_freeContext(scaler);
        scaler = nullptr;
        av_frame_free(&picture);
        av_frame_free(&sound);
        av_packet_free(&packet);
        avcodec_free_context(&video);
        avcodec_free_context(&audio);
        soundtrack.reset();
        if (mux) {
            if (mux->pb)
                avio_closep(&mux->pb);
            avformat_free_context(mux);
            mux = nullptr;
        }
    }

    QString Open(const VideoFormat& format, const QStringList& music)
    {
        const QByteArray path = QFile::encodeName(fileName);
        int ret = avformat_alloc_output_context2(&mux, nullptr, format.Muxer(), path.constData());
        if (ret < 0)
            return Fail(QStringLiteral("the container could not be set up"), ret);
        packet = av_packet_alloc();
        picture = av_frame_alloc();
        sound = av_frame_alloc();
        if (!packet || !picture || !sound)
            return Fail(QStringLiteral("out of memory"));

        const AVCodec* videoCodec = avcodec_find_encoder_by_name(format.VideoEncoder());
        video = avcodec_alloc_context3(videoCodec);
        videoStream = avformat_new_stream(mux, nullptr);
        if (!video || !videoStream)
            return Fail(QStringLiteral("out of memory"));
        video->width = width;
        video->height = height;
        video->color_range = AVCOL_RANGE_MPEG;
        video->colorspace = IsHd(height) ? AVCOL_SPC_BT709 : AVCOL_SPC_BT470BG;
        video->color_primaries = IsHd(height) ? AVCOL_PRI_BT709 : AVCOL_PRI_BT470BG;
        video->color_trc = IsHd(height) ? AVCOL_TRC_BT709 : AVCOL_TRC_GAMMA28;
        AVDictionary* options = nullptr;
        format.SetUpVideo(video, &options);
        if (mux->oformat->flags & AVFMT_GLOBALHEADER)
            video->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        ret = avcodec_open2(video, videoCodec, &options);
        av_dict_free(&options);
        if (ret < 0)
            return Fail(QStringLiteral("the video encoder \"%1\" did not start")
                            .arg(QLatin1String(format.VideoEncoder())), ret);
        videoStream->time_base = video->time_base;
        videoStream->avg_frame_rate = video->framerate;
        if ((ret = avcodec_parameters_from_context(videoStream->codecpar, video)) < 0)
            return Fail(QStringLiteral("the video stream could not be set up"), ret);
        // The VideoCD muxer takes the decoder buffer size from here.
        for (int i = 0; i < video->nb_coded_side_data; ++i) {
            const AVPacketSideData& data = video->coded_side_data[i];
            std::uint8_t* copy = av_stream_new_side_data(videoStream, data.type, data.size);
            if (!copy)
                return Fail(QStringLiteral("out of memory"));
            std::memcpy(copy, data.data, data.size);
        }

        if ((ret = OpenSound(format, music)) < 0)
            return Fail(QStringLiteral("the sound encoder \"%1\" did not start")
                            .arg(QLatin1String(format.AudioEncoder())), ret);

        if (!(mux->oformat->flags & AVFMT_NOFILE)
            && (ret = avio_open(&mux->pb, path.constData(), AVIO_FLAG_WRITE)) < 0)
            return Fail(QStringLiteral("the file could not be created"), ret);
        format.SetUpMuxer(mux, &options);
        ret = avformat_write_header(mux, &options);
        av_dict_free(&options);
        if (ret < 0)
            return Fail(QStringLiteral("the file header could not be written"), ret);
        return {};
    }

    // The sound stream, when there is music or the format needs one. The
    // music is tried before the header is written, which must declare it.
    int OpenSound(const VideoFormat& format, const QStringList& music)
    {
        if (music.isEmpty() && !format.AlwaysSound())
            return 0;
        const AVCodec* codec = avcodec_find_encoder_by_name(format.AudioEncoder());
        audio = avcodec_alloc_context3(codec);
        if (!audio)
            return AVERROR(ENOMEM);
        format.SetUpAudio(audio);
        soundtrack = std::make_unique<Soundtrack>(music, audio->sample_rate, audio->sample_fmt,
                                                  audio->ch_layout);
        if (!soundtrack->Open() && !format.AlwaysSound()) {
            soundtrack.reset();
            avcodec_free_context(&audio);
            return 0;
        }
        if (mux->oformat->flags & AVFMT_GLOBALHEADER)
            audio->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        int ret = avcodec_open2(audio, codec, nullptr);
        if (ret < 0)
            return ret;
        audioStream = avformat_new_stream(mux, nullptr);
        if (!audioStream)
            return AVERROR(ENOMEM);
        audioStream->time_base = audio->time_base;
        return avcodec_parameters_from_context(audioStream->codecpar, audio);
    }

    // Hands `frame` (null: the end) to `enc` and writes what comes out.
    QString Encode(AVCodecContext* enc, AVStream* stream, const AVFrame* frame)
    {
        int ret = avcodec_send_frame(enc, frame);
        if (ret < 0)
            return Fail(QStringLiteral("encoding failed"), ret);
        while ((ret = avcodec_receive_packet(enc, packet)) >= 0) {
            av_packet_rescale_ts(packet, enc->time_base, stream->time_base);
            packet->stream_index = stream->index;
            ret = av_interleaved_write_frame(mux, packet);
            if (ret < 0)
                return Fail(QStringLiteral("writing failed"), ret);
        }
        if (ret != AVERROR(EAGAIN) && ret != AVERROR_EOF)
            return Fail(QStringLiteral("encoding failed"), ret);
        return {};
    }

    // The general converter, for pictures of another size or form.
    QString MakeScaler(const QImage& rgb)
    {
        if (scaler && rgb.width() == sourceWidth && rgb.height() == sourceHeight)
            return {};
        sws_freeContext(scaler);
        scaler = sws_getContext(rgb.width(), rgb.height(), kRgbWords, width, height,
                                AV_PIX_FMT_YUV420P, SWS_BICUBIC, nullptr, nullptr, nullptr);
        if (!scaler)
            return Fail(QStringLiteral("the picture could not be converted"));
        sourceWidth = rgb.width();
        sourceHeight = rgb.height();
        if (IsHd(height)) {
            const int* bt709 = sws_getCoefficients(SWS_CS_ITU709);
            sws_setColorspaceDetails(scaler, bt709, 1, bt709, 0, 0, 1 << 16, 1 << 16);
        }
        return {};
    }

    QString AddFrames(const QImage& frame, int count)
    {
        // The ARGB32 formats go in as they are, alpha left out.
        QImage converted;
        const QImage* rgb = &frame;
        if (frame.format() != QImage::Format_RGB32 && frame.format() != QImage::Format_ARGB32
            && frame.format() != QImage::Format_ARGB32_Premultiplied) {
            converted = frame.convertToFormat(QImage::Format_RGB32);
            rgb = &converted;
        }
        // The encoder may still hold the last picture: then it gets a new
        // buffer rather than a copy of the old one.
        if (!av_frame_is_writable(picture))
            av_frame_unref(picture);
        if (!picture->buf[0]) {
            picture->format = AV_PIX_FMT_YUV420P;
            picture->width = width;
            picture->height = height;
            if (int ret = av_frame_get_buffer(picture, 0); ret < 0)
                return Fail(QStringLiteral("out of memory"), ret);
        }
        const bool sameSize = rgb->width() == width && rgb->height() == height;
        if (!sameSize || !RgbToYuv420(*rgb, picture->data, picture->linesize, IsHd(height))) {
            if (QString error = MakeScaler(*rgb); !error.isEmpty())
                return error;
            // swscale reads four planes, used or not.
            const std::uint8_t* const planes[4] = {rgb->constBits(), nullptr, nullptr, nullptr};
            const int strides[4] = {int(rgb->bytesPerLine()), 0, 0, 0};
            sws_scale(scaler, planes, strides, 0, rgb->height(), picture->data, picture->linesize);
        }
        // A fixed-quantiser encoder takes the quality from each frame.
        picture->quality = video->global_quality;
        for (int i = 0; i < count; ++i) {
            picture->pts = frames;
            if (QString error = Encode(video, videoStream, picture); !error.isEmpty())
                return error;
            ++frames;
        }
        // Sound stays a fade length behind the pictures, so that the end
        // can still be faded when the last frame comes.
        return AddSound(frames * kSamplesPerFrame - kFadeSamples, false);
    }

    // Encodes the sound up to sample `end`; `last` when that is the end of
    // the video, with the fade-out.
    QString AddSound(std::int64_t end, bool last)
    {
        if (!audio)
            return {};
        const int size = audio->frame_size > 0 ? audio->frame_size : 1152;
        const bool shortLast = audio->codec->capabilities
            & (AV_CODEC_CAP_SMALL_LAST_FRAME | AV_CODEC_CAP_VARIABLE_FRAME_SIZE);
        while (samples < end && (last || end - samples >= size)) {
            // Encoders without a short last frame get it filled with the
            // silence after the fade.
            const int count = end - samples < size && shortLast ? int(end - samples) : size;
            if (!av_frame_is_writable(sound) || sound->nb_samples != count) {
                av_frame_unref(sound);
                sound->format = audio->sample_fmt;
                sound->sample_rate = audio->sample_rate;
                sound->nb_samples = count;
                int ret = av_channel_layout_copy(&sound->ch_layout, &audio->ch_layout);
                if (ret < 0 || (ret = av_frame_get_buffer(sound, 0)) < 0)
                    return Fail(QStringLiteral("out of memory"), ret);
            }
            soundtrack->Read(sound);
            if (last)
                Soundtrack::FadeOut(sound, samples, end, std::min(kFadeSamples, end));
            sound->pts = samples;
            if (QString error = Encode(audio, audioStream, sound); !error.isEmpty())
                return error;
            samples += count;
        }
        return {};
    }

    QString Close()
    {
        QString error;
        if (!failed) {
            error = AddSound(frames * kSamplesPerFrame, true);
            if (error.isEmpty())
                error = Encode(video, videoStream, nullptr);
            if (error.isEmpty() && audio)
                error = Encode(audio, audioStream, nullptr);
            if (int ret; error.isEmpty() && (ret = av_write_trailer(mux)) < 0)
                error = Fail(QStringLiteral("the end of the file could not be written"), ret);
        }
        if (mux && mux->pb) {
            if (int ret = avio_closep(&mux->pb); ret < 0 && error.isEmpty() && !failed)
                error = Fail(QStringLiteral("the file could not be closed"), ret);
        }
        completed = !failed && error.isEmpty();
        Release();
        return error;
    }
};

AviWriter::AviWriter()
{
    // The libraries' notes (encoder settings, clipped coefficients) are
    // not the user's business; what fails reaches LastError().
    av_log_set_level(AV_LOG_ERROR);
}

AviWriter::~AviWriter() { Finish(); }

std::int64_t AviWriter::FramesWritten() const { return m_enc ? m_enc->frames : 0; }

bool AviWriter::WRDIANSHI(const QImage& frame, float width, float height, std::int16_t count)
{
    if (count < 1) {
        m_error = QStringLiteral("No frame to write to \"%1\" (count %2).").arg(m_fileName).arg(count);
        return false;
    }
    if (m_finished) {
        m_error = QStringLiteral("The video file \"%1\" is already finished.").arg(m_fileName);
        return false;
    }
    if (frame.isNull()) {
        m_error = QStringLiteral("An empty picture cannot go into \"%1\".").arg(m_fileName);
        return false;
    }
    if (!m_enc) {
        const int w = qRound(width);
        const int h = qRound(height);
        if (QString problem = Check(m_fileName, w, h); !problem.isEmpty()) {
            m_error = problem;
            return false;
        }
        auto enc = std::make_unique<Encoder>();
        enc->fileName = m_fileName;
        enc->width = w;
        enc->height = h;
        if (QString error = enc->Open(*VideoFormat::ForFileName(m_fileName), m_music);
            !error.isEmpty()) {
            const bool created = enc->mux && enc->mux->pb;
            enc.reset();
            // Half a header is no video.
            if (created)
                QFile::remove(m_fileName);
            m_error = error;
            return false;
        }
        m_enc = std::move(enc);
    }
    if (m_enc->failed)
        return false;
    if (QString error = m_enc->AddFrames(frame, count); !error.isEmpty()) {
        m_enc->failed = true;
        m_error = error;
        return false;
    }
    return true;
}

bool AviWriter::Finish()
{
    if (m_finished)
        return !m_enc || m_enc->completed;
    m_finished = true;
    if (!m_enc)
        return true;
    if (QString error = m_enc->Close(); !error.isEmpty())
        m_error = error;
    return m_enc->completed;
}

QString AviWriter::Check(const QString& fileName, int width, int height)
{
    const VideoFormat* format = VideoFormat::ForFileName(fileName);
    if (!format) {
        const QString suffix = QFileInfo(fileName).suffix();
        return QStringLiteral("The export cannot write \"%1\": %2; it writes %3 files.")
            .arg(fileName,
                 suffix.isEmpty() ? QStringLiteral("the name has no extension")
                                  : QStringLiteral("the extension \".%1\" is unknown").arg(suffix),
                 VideoFormat::Extensions().join(QStringLiteral(", ")));
    }
    return format->Problem(width, height);
}

} // namespace tarnwick
