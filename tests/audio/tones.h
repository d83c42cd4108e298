#pragma once
// Test sounds and what a recording of them shows: sine tones written as
// 16-bit WAV files, and the tones found again in recorded samples.

// Qt
#include <QString>

// std
#include <cstdint>
#include <vector>

namespace tarnwick::testing {

// Writes a mono 16-bit PCM WAV file of a sine of `hz` lasting `ms`, at half
// of full scale. False when the file cannot be written.
bool WriteToneWav(const QString& path, double hz, int ms, int rate = 44100);

// One stretch of sound in a recording, in milliseconds from its start.
struct Tone {
    int startMs = 0;
    int endMs = 0;
    double hz = 0; // from the zero crossings
};

// The stretches of sound in `samples` (mono, `rate` per second), judged in
// 10 ms windows; silences shorter than 30 ms do not split a stretch.
std::vector<Tone> FindTones(const std::vector<std::int16_t>& samples, int rate);

// Whether `samples` are silent from `fromMs` to their end.
bool SilentFrom(const std::vector<std::int16_t>& samples, int rate, int fromMs);

} // namespace tarnwick::testing
