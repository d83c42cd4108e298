#pragma once
// Tests that hear the music. Each suite records a PulseAudio null sink of its
// own ("tarnwick_test_<pid>_<n>") through the sink's monitor, so programs
// running side by side do not hear each other; while the suite runs,
// PULSE_SINK routes the music playback there. The suite's tests run one after
// another on that sink, and each hears only what came after its own start.
// A test skips with the reason when no sound server answers. Window thread
// only; the samples arrive while the event loop runs.

// Qt
#include <QString>
#include <QTemporaryDir>

// GoogleTest
#include <gtest/gtest.h>

// std
#include <cstddef>
#include <functional>
#include <vector>

namespace tarnwick::testing {

class SoundTest : public ::testing::Test {
public:
    // Load the sink and start recording it; unload it after the suite.
    static void SetUpTestSuite();
    static void TearDownTestSuite();

protected:
    // One stretch of sound, in milliseconds from the test's start.
    struct Tone {
        int startMs = 0;
        int endMs = 0;
        double hz = 0; // from the zero crossings
        int ms() const { return endMs - startMs; }
    };

    void SetUp() override;

    // Writes a mono 16-bit WAV file of a sine of `hz` lasting `ms`, at half of
    // full scale, to `name` under dir; returns its path.
    QString writeTone(const QString& name, double hz, int ms);
    // Milliseconds recorded since the test started.
    int recordedMs();
    // The stretches of sound recorded, judged in 10 ms windows; silences
    // shorter than 30 ms do not split a stretch.
    std::vector<Tone> heard();
    // Whether nothing was heard from `fromMs` on.
    bool silentFrom(int fromMs);
    // Runs the event loop until `count` stretches have been heard and the
    // last one has ended, at most `capMs`.
    bool waitForTones(std::size_t count, int capMs);
    // Runs the event loop until the last stretch has sounded for `ms`, at
    // most `capMs`.
    bool waitForSoundFor(int ms, int capMs);

    QTemporaryDir dir;

private:
    std::size_t m_firstSample = 0;
};

// Runs the event loop until `done` is true or `capMs` have passed; returns
// `done`'s last answer. A cap, not a timing: no test judges how long it took.
bool WaitFor(const std::function<bool()>& done, int capMs);
// Runs the event loop for `ms` while real sound plays.
void RunEvents(int ms);

} // namespace tarnwick::testing
