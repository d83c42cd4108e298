#pragma once
// The sound of an exported video: music files decoded one after another,
// wrapping to the first after the last, converted to the sound encoder's
// sample rate, format and channels. Decodes only as far ahead as the
// samples asked for. Files that cannot be opened or decoded are left out
// for good; with none left the sound is silence.

// Qt
#include <QStringList>

// FFmpeg
extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/samplefmt.h>
}

// std
#include <cstdint>
#include <memory>
#include <vector>

struct AVAudioFifo;
struct AVFrame;

namespace tarnwick {

class Soundtrack {
public:
    // Samples come out at `sampleRate` Hz in `format` with `layout`.
    Soundtrack(const QStringList& files, int sampleRate, AVSampleFormat format,
               const AVChannelLayout& layout);
    ~Soundtrack();
    Soundtrack(const Soundtrack&) = delete;
    Soundtrack& operator=(const Soundtrack&) = delete;

    // Decodes the start of the first file that can be decoded. False when
    // no file can: there is no music.
    bool Open();

    // Fills all of `frame`'s nb_samples (its buffers allocated in the
    // output format and layout) with the next samples, silence where the
    // music is missing.
    void Read(AVFrame* frame);

    // Fades out the sound that ends at sample `end` over its last `length`
    // samples: `frame` holds the samples from number `first` on; those at
    // or after `end` become silence.
    static void FadeOut(AVFrame* frame, std::int64_t first, std::int64_t end, std::int64_t length);

private:
    struct Input;
    // Decodes until the queue holds `samples` samples or no file is left.
    void Fill(int samples);
    // Opens the next usable file after the current one; false when none.
    bool OpenNext();
    // One step of decoding the current file; false when it is over.
    bool Step();
    // Converts `count` decoded samples (null: what the resampler still
    // holds) into the queue.
    bool Queue(const std::uint8_t* const* data, int count);

    QStringList m_files;
    std::vector<bool> m_bad;
    int m_current = -1;
    int m_rate;
    AVSampleFormat m_format;
    AVChannelLayout m_layout{};
    std::unique_ptr<Input> m_in;
    AVAudioFifo* m_fifo = nullptr;
    AVFrame* m_buffer = nullptr;
};

} // namespace tarnwick
