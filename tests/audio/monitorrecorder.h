#pragma once
// Records what the player sends to a PulseAudio null sink of the test's own
// ("tarnwick_test_<pid>_<n>"), so tests running side by side do not hear each
// other. While a recorder exists, PULSE_SINK names that sink and the music
// playback plays there. Window thread only; the samples arrive while the
// event loop runs.

// Qt
#include <QByteArray>
#include <QProcess>
#include <QString>

// std
#include <cstdint>
#include <functional>
#include <vector>

namespace tarnwick::testing {

class MonitorRecorder {
public:
    // Mono samples per second of the recording.
    static constexpr int kRate = 8000;

    // Why nothing can be recorded here ("" when a sound server answers).
    static QString unavailableReason();

    // Loads the sink, waits until Qt lists it and starts recording its
    // monitor; error() tells when that failed.
    MonitorRecorder();
    // Stops recording, unloads the sink and clears PULSE_SINK.
    ~MonitorRecorder();
    MonitorRecorder(const MonitorRecorder&) = delete;
    MonitorRecorder& operator=(const MonitorRecorder&) = delete;

    QString error() const { return m_error; }
    // Everything recorded up to now.
    const std::vector<std::int16_t>& samples();
    // The length of samples() in milliseconds.
    int recordedMs();

private:
    QString m_error;
    QString m_sink;
    QString m_module;
    QProcess m_parec;
    QByteArray m_pending;
    std::vector<std::int16_t> m_samples;
};

// Runs the event loop until `done` is true or `capMs` have passed; returns
// `done`'s last answer. A cap, not a timing: the tests never judge how long
// it took.
bool WaitFor(const std::function<bool()>& done, int capMs);
// Runs the event loop for `ms` while real sound plays.
void RunEvents(int ms);

} // namespace tarnwick::testing
