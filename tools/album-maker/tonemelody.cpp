#include "tonemelody.h"

// ours
#include "makererror.h"

// Qt
#include <QFile>
#include <QtEndian>

// std
#include <array>
#include <cmath>
#include <numbers>

namespace tarnwick {

namespace {

// A C major tune in quarter-second notes, as frequencies in Hz.
constexpr std::array<double, 16> Tune{523.25, 659.25, 783.99, 659.25, 587.33, 698.46, 880.00, 698.46,
                                      523.25, 659.25, 783.99, 1046.50, 987.77, 783.99, 587.33, 523.25};
constexpr double NoteSeconds = 0.25;

void appendLe16(QByteArray& out, quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}

void appendLe32(QByteArray& out, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

} // namespace

QByteArray ToneMelody::wav(int seconds)
{
    const qint64 samples = qint64(seconds) * SampleRate;
    const quint32 dataBytes = quint32(samples * 2);
    QByteArray out;
    out.reserve(44 + dataBytes);
    out.append("RIFF", 4);
    appendLe32(out, 36 + dataBytes);
    out.append("WAVEfmt ", 8);
    appendLe32(out, 16);             // fmt chunk size
    appendLe16(out, 1);              // PCM
    appendLe16(out, 1);              // mono
    appendLe32(out, SampleRate);
    appendLe32(out, SampleRate * 2); // bytes per second
    appendLe16(out, 2);              // block align
    appendLe16(out, 16);             // bits per sample
    out.append("data", 4);
    appendLe32(out, dataBytes);

    const qint64 noteSamples = qint64(NoteSeconds * SampleRate);
    for (qint64 i = 0; i < samples; ++i) {
        const double frequency = Tune[(i / noteSamples) % Tune.size()];
        const double t = double(i % noteSamples) / SampleRate;
        // A quick attack and an exponential decay keep the notes apart
        // without clicks.
        const double envelope = std::min(1.0, t / 0.01) * std::exp(-t * 6.0);
        const double s = 0.4 * envelope * std::sin(2.0 * std::numbers::pi * frequency * double(i) / SampleRate);
        appendLe16(out, quint16(qint16(std::lround(s * 32767.0))));
    }
    return out;
}

void ToneMelody::write(const QString& path, int seconds)
{
    QFile file(path);
    const QByteArray bytes = wav(seconds);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw MakerError(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
}

} // namespace tarnwick
