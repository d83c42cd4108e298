#pragma once
// A short generated melody as a WAV file (16-bit PCM, mono), written with
// QtCore only: the demo album's background music.

// Qt
#include <QByteArray>
#include <QString>

namespace tarnwick {

class ToneMelody {
public:
    static constexpr int SampleRate = 22050;

    // The WAV bytes of `seconds` of a repeating tune of soft sine tones.
    static QByteArray wav(int seconds);

    // Writes wav(seconds) to `path`. Throws MakerError on failure.
    static void write(const QString& path, int seconds);
};

} // namespace tarnwick
