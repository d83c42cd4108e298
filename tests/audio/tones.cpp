#include "tones.h"

// Qt
#include <QDir>
#include <QFile>
#include <QFileInfo>

// std
#include <cmath>
#include <algorithm>
#include <numbers>
#include <optional>

namespace tarnwick::testing {

namespace {

constexpr int kWindowMs = 10;
constexpr int kBridgedWindows = 3;
// A 10 ms window louder than this (RMS, of 32767) is sound; the null sink
// gives exact zeros when nothing plays.
constexpr double kSoundRms = 300;

void putLE(QByteArray& bytes, std::uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes.append(static_cast<char>((value >> (8 * i)) & 0xff));
}

std::vector<bool> loudWindows(const std::vector<std::int16_t>& samples, int rate)
{
    const std::size_t window = static_cast<std::size_t>(rate * kWindowMs / 1000);
    std::vector<bool> loud;
    for (std::size_t start = 0; start + window <= samples.size(); start += window) {
        double sum = 0;
        for (std::size_t i = start; i < start + window; ++i)
            sum += double(samples[i]) * samples[i];
        loud.push_back(std::sqrt(sum / window) > kSoundRms);
    }
    return loud;
}

double crossingsHz(const std::vector<std::int16_t>& samples, std::size_t from, std::size_t to, int rate)
{
    int crossings = 0;
    for (std::size_t i = from + 1; i < to; ++i)
        crossings += (samples[i - 1] < 0) != (samples[i] < 0);
    return to > from ? crossings / 2.0 * rate / double(to - from) : 0;
}

} // namespace

bool WriteToneWav(const QString& path, double hz, int ms, int rate)
{
    const std::uint32_t count = static_cast<std::uint32_t>(std::int64_t(rate) * ms / 1000);
    QByteArray bytes("RIFF");
    putLE(bytes, 36 + count * 2, 4);
    bytes.append("WAVEfmt ");
    putLE(bytes, 16, 4);
    putLE(bytes, 1, 2); // PCM
    putLE(bytes, 1, 2); // mono
    putLE(bytes, static_cast<std::uint32_t>(rate), 4);
    putLE(bytes, static_cast<std::uint32_t>(rate) * 2, 4);
    putLE(bytes, 2, 2);
    putLE(bytes, 16, 2);
    bytes.append("data");
    putLE(bytes, count * 2, 4);
    for (std::uint32_t i = 0; i < count; ++i) {
        const double value = 16000 * std::sin(2 * std::numbers::pi * hz * i / rate);
        putLE(bytes, static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(value))), 2);
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

std::vector<Tone> FindTones(const std::vector<std::int16_t>& samples, int rate)
{
    const std::vector<bool> loud = loudWindows(samples, rate);
    const std::size_t window = static_cast<std::size_t>(rate * kWindowMs / 1000);
    std::vector<Tone> tones;
    const auto close = [&](std::size_t first, std::size_t end) {
        tones.push_back({int(first * kWindowMs), int(end * kWindowMs),
                         crossingsHz(samples, first * window, end * window, rate)});
    };
    std::optional<std::size_t> first;
    std::size_t last = 0;
    for (std::size_t w = 0; w < loud.size(); ++w) {
        if (!loud[w])
            continue;
        if (first && w - last > kBridgedWindows) {
            close(*first, last + 1);
            first.reset();
        }
        if (!first)
            first = w;
        last = w;
    }
    if (first)
        close(*first, last + 1);
    return tones;
}

bool SilentFrom(const std::vector<std::int16_t>& samples, int rate, int fromMs)
{
    const std::vector<bool> loud = loudWindows(samples, rate);
    for (std::size_t w = static_cast<std::size_t>(std::max(fromMs, 0) / kWindowMs); w < loud.size(); ++w) {
        if (loud[w])
            return false;
    }
    return true;
}

} // namespace tarnwick::testing
