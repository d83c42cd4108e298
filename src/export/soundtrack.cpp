#include "soundtrack.h"

// Qt
#include <QFile>

// FFmpeg
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libswresample/swresample.h>
}

// std
#include <algorithm>
#include <cmath>
#include <type_traits>

namespace tarnwick {

// One music file being decoded.
struct Soundtrack::Input {
    AVFormatContext* format = nullptr;
    AVCodecContext* decoder = nullptr;
    SwrContext* resampler = nullptr;
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    int stream = -1;
    std::int64_t produced = 0;
    // What the resampler was made for.
    int inFormat = -1;
    int inRate = 0;
    AVChannelLayout inLayout{};

    ~Input()
    {
        av_frame_free(&frame);
        av_packet_free(&packet);
        swr_free(&resampler);
        av_channel_layout_uninit(&inLayout);
        avcodec_free_context(&decoder);
        avformat_close_input(&format);
    }

    bool Open(const QString& file)
    {
        if (!packet || !frame)
            return false;
        const QByteArray path = QFile::encodeName(file);
        if (avformat_open_input(&format, path.constData(), nullptr, nullptr) < 0
            || avformat_find_stream_info(format, nullptr) < 0)
            return false;
        const AVCodec* codec = nullptr;
        stream = av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
        if (stream < 0 || !codec)
            return false;
        // Cover pictures and other streams are not even read.
        for (unsigned i = 0; i < format->nb_streams; ++i) {
            if (int(i) != stream)
                format->streams[i]->discard = AVDISCARD_ALL;
        }
        decoder = avcodec_alloc_context3(codec);
        return decoder
            && avcodec_parameters_to_context(decoder, format->streams[stream]->codecpar) >= 0
            && avcodec_open2(decoder, codec, nullptr) >= 0;
    }
};

Soundtrack::Soundtrack(const QStringList& files, int sampleRate, AVSampleFormat format,
                       const AVChannelLayout& layout)
    : m_files(files), m_bad(files.size(), false), m_rate(sampleRate), m_format(format)
{
    av_channel_layout_copy(&m_layout, &layout);
    m_fifo = av_audio_fifo_alloc(format, layout.nb_channels, 4096);
    m_buffer = av_frame_alloc();
}

Soundtrack::~Soundtrack()
{
    m_in.reset();
    av_frame_free(&m_buffer);
    if (m_fifo)
        av_audio_fifo_free(m_fifo);
    av_channel_layout_uninit(&m_layout);
}

bool Soundtrack::Open()
{
    Fill(1);
    return m_fifo && av_audio_fifo_size(m_fifo) > 0;
}

void Soundtrack::Read(AVFrame* frame)
{
    const int wanted = frame->nb_samples;
    Fill(wanted);
    int got = m_fifo ? av_audio_fifo_read(m_fifo, reinterpret_cast<void**>(frame->extended_data), wanted) : 0;
    got = std::max(got, 0);
    if (got < wanted)
        av_samples_set_silence(frame->extended_data, got, wanted - got, m_layout.nb_channels,
                               m_format);
}

void Soundtrack::Fill(int samples)
{
    if (!m_fifo || !m_buffer)
        return;
    while (av_audio_fifo_size(m_fifo) < samples) {
        if (!m_in && !OpenNext())
            return;
        if (!Step()) {
            // A file that gave no sound at all would be opened again and
            // again on every wrap.
            if (m_in->produced == 0)
                m_bad[m_current] = true;
            m_in.reset();
        }
    }
}

bool Soundtrack::OpenNext()
{
    for (int tries = 0; tries < m_files.size(); ++tries) {
        m_current = (m_current + 1) % int(m_files.size());
        if (m_bad[m_current])
            continue;
        auto in = std::make_unique<Input>();
        if (in->Open(m_files[m_current])) {
            m_in = std::move(in);
            return true;
        }
        m_bad[m_current] = true;
    }
    return false;
}

bool Soundtrack::Step()
{
    Input& in = *m_in;
    int ret = avcodec_receive_frame(in.decoder, in.frame);
    if (ret == 0) {
        // The resampler is made for the first decoded frame: only then are
        // the decoder's sample format and layout certain. Chained streams
        // may change them on the way.
        const AVFrame& f = *in.frame;
        if (in.resampler
            && (f.format != in.inFormat || f.sample_rate != in.inRate
                || av_channel_layout_compare(&f.ch_layout, &in.inLayout) != 0)) {
            Queue(nullptr, 0);
            swr_free(&in.resampler);
        }
        if (!in.resampler) {
            in.inFormat = f.format;
            in.inRate = f.sample_rate;
            av_channel_layout_uninit(&in.inLayout);
            av_channel_layout_copy(&in.inLayout, &f.ch_layout);
            AVChannelLayout from{};
            if (f.ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
                av_channel_layout_default(&from, f.ch_layout.nb_channels);
            else
                av_channel_layout_copy(&from, &f.ch_layout);
            ret = swr_alloc_set_opts2(&in.resampler, &m_layout, m_format, m_rate, &from,
                                      AVSampleFormat(f.format), f.sample_rate, 0, nullptr);
            av_channel_layout_uninit(&from);
            if (ret < 0 || swr_init(in.resampler) < 0)
                return false;
        }
        const bool ok = Queue(f.extended_data, f.nb_samples);
        av_frame_unref(in.frame);
        return ok;
    }
    if (ret == AVERROR_EOF) {
        if (in.resampler)
            Queue(nullptr, 0);
        return false;
    }
    if (ret != AVERROR(EAGAIN))
        return false;
    if (av_read_frame(in.format, in.packet) < 0) {
        avcodec_send_packet(in.decoder, nullptr);
        return true;
    }
    // A damaged packet is dropped; the decoder goes on with the next one.
    if (in.packet->stream_index == in.stream)
        avcodec_send_packet(in.decoder, in.packet);
    av_packet_unref(in.packet);
    return true;
}

bool Soundtrack::Queue(const std::uint8_t* const* data, int count)
{
    Input& in = *m_in;
    const int room = swr_get_out_samples(in.resampler, count);
    if (room <= 0)
        return true;
    if (m_buffer->nb_samples < room) {
        av_frame_unref(m_buffer);
        m_buffer->format = m_format;
        m_buffer->nb_samples = room;
        if (av_channel_layout_copy(&m_buffer->ch_layout, &m_layout) < 0
            || av_frame_get_buffer(m_buffer, 0) < 0)
            return false;
    }
    const int got = swr_convert(in.resampler, m_buffer->extended_data, room,
                                const_cast<const std::uint8_t**>(data), count);
    if (got < 0)
        return false;
    if (got > 0
        && av_audio_fifo_write(m_fifo, reinterpret_cast<void**>(m_buffer->extended_data), got) < got)
        return false;
    in.produced += got;
    return true;
}

namespace {

template <typename T>
void Scale(T* samples, double gain)
{
    if constexpr (std::is_floating_point_v<T>)
        *samples = T(*samples * gain);
    else if constexpr (std::is_same_v<T, std::uint8_t>)
        *samples = T(std::lround((*samples - 128) * gain) + 128);
    else
        *samples = T(std::llround(*samples * gain));
}

template <typename T>
void FadeSamples(AVFrame* frame, int planes, int step, std::int64_t first, std::int64_t end,
                 std::int64_t length)
{
    for (int i = 0; i < frame->nb_samples; ++i) {
        const std::int64_t left = end - (first + i);
        const double gain = left <= 0 ? 0.0 : left >= length ? 1.0 : double(left) / double(length);
        if (gain == 1.0)
            continue;
        for (int p = 0; p < planes; ++p) {
            T* s = reinterpret_cast<T*>(frame->extended_data[p]) + std::int64_t(i) * step;
            for (int c = 0; c < step; ++c)
                Scale(s + c, gain);
        }
    }
}

} // namespace

void Soundtrack::FadeOut(AVFrame* frame, std::int64_t first, std::int64_t end, std::int64_t length)
{
    if (first + frame->nb_samples <= end - length)
        return;
    const auto format = AVSampleFormat(frame->format);
    const int channels = frame->ch_layout.nb_channels;
    const bool planar = av_sample_fmt_is_planar(format);
    const int planes = planar ? channels : 1;
    const int step = planar ? 1 : channels;
    switch (av_get_packed_sample_fmt(format)) {
    case AV_SAMPLE_FMT_U8: FadeSamples<std::uint8_t>(frame, planes, step, first, end, length); break;
    case AV_SAMPLE_FMT_S16: FadeSamples<std::int16_t>(frame, planes, step, first, end, length); break;
    case AV_SAMPLE_FMT_S32: FadeSamples<std::int32_t>(frame, planes, step, first, end, length); break;
    case AV_SAMPLE_FMT_S64: FadeSamples<std::int64_t>(frame, planes, step, first, end, length); break;
    case AV_SAMPLE_FMT_FLT: FadeSamples<float>(frame, planes, step, first, end, length); break;
    case AV_SAMPLE_FMT_DBL: FadeSamples<double>(frame, planes, step, first, end, length); break;
    default: break;
    }
}

} // namespace tarnwick
