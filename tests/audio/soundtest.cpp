#include "soundtest.h"

// Qt
#include <QAudioDevice>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QMediaDevices>
#include <QProcess>
#include <QTimer>

// std
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <span>

namespace tarnwick::testing {

namespace {

constexpr int kRate = 8000; // mono samples per second of the recording
constexpr int kSetupCapMs = 5000;
constexpr int kQuietMs = 300;
constexpr int kWindowMs = 10;
constexpr std::size_t kWindow = kRate * kWindowMs / 1000;
constexpr std::size_t kBridgedWindows = 3;
// A window louder than this (RMS, of 32767) is sound; the null sink gives
// exact zeros when nothing plays.
constexpr double kSoundRms = 300;

// The suite's sink and everything recorded from it.
struct Sink {
    QString skipReason;
    QString error;
    QString name;
    QString module;
    QProcess parec;
    QByteArray pending;
    std::vector<std::int16_t> samples;

    const std::vector<std::int16_t>& read()
    {
        pending += parec.readAllStandardOutput();
        const std::size_t had = samples.size();
        const std::size_t whole = static_cast<std::size_t>(pending.size()) / 2;
        samples.resize(had + whole);
        std::memcpy(samples.data() + had, pending.constData(), whole * 2);
        pending.remove(0, static_cast<qsizetype>(whole * 2));
        return samples;
    }
};

std::unique_ptr<Sink> gSink;

// Runs a pactl command; its trimmed output, or nothing when it failed.
std::optional<QString> pactl(const QStringList& arguments)
{
    QProcess process;
    process.start("pactl", arguments);
    if (!process.waitForFinished(kSetupCapMs) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0)
        return std::nullopt;
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

bool qtKnowsSink(const QString& sink)
{
    const QList<QAudioDevice> outputs = QMediaDevices::audioOutputs();
    return std::any_of(outputs.begin(), outputs.end(),
                       [&](const QAudioDevice& device) { return device.id() == sink.toUtf8(); });
}

// Loads the sink, waits until Qt lists it and records its monitor; why
// that failed, or "".
QString startRecording(Sink& sink)
{
    // A new name for each suite: Qt would take a sink that is being removed
    // for a new one of the same name.
    static int made = 0;
    sink.name = QString("tarnwick_test_%1_%2").arg(QCoreApplication::applicationPid()).arg(++made);
    const std::optional<QString> module = pactl({"load-module", "module-null-sink", "sink_name=" + sink.name});
    if (!module)
        return "cannot load a null sink";
    sink.module = *module;
    if (!WaitFor([&] { return qtKnowsSink(sink.name); }, kSetupCapMs))
        return "Qt does not list the sink " + sink.name;
    qputenv("PULSE_SINK", sink.name.toUtf8());
    sink.parec.start("parec", {"-d", sink.name + ".monitor", "--raw", "--format=s16ne", "--channels=1",
                               QString("--rate=%1").arg(kRate), "--latency-msec=10"});
    // A new null sink renders its first block only after its idle latency of
    // two seconds, and sound played before then is partly lost. Suspended and
    // resumed once the recording is connected, it runs at the recording's
    // latency at once.
    const auto recording = [&] { return !sink.read().empty(); };
    for (int tries = 0; tries < 20 && sink.parec.waitForStarted(kSetupCapMs) && !recording(); ++tries) {
        pactl({"suspend-sink", sink.name, "1"});
        pactl({"suspend-sink", sink.name, "0"});
        WaitFor(recording, 250);
    }
    return recording() ? QString() : "parec does not record " + sink.name + ".monitor";
}

} // namespace

void SoundTest::SetUpTestSuite()
{
    gSink = std::make_unique<Sink>();
    if (!pactl({"info"}))
        gSink->skipReason = "no PulseAudio server answers `pactl info`";
    else
        gSink->error = startRecording(*gSink);
}

void SoundTest::TearDownTestSuite()
{
    gSink->parec.kill();
    gSink->parec.waitForFinished(kSetupCapMs);
    qunsetenv("PULSE_SINK");
    if (!gSink->module.isEmpty() && pactl({"unload-module", gSink->module})) {
        // Let Qt see the sink go before the next suite makes its outputs.
        WaitFor([] { return !qtKnowsSink(gSink->name); }, kSetupCapMs);
    }
    gSink.reset();
}

void SoundTest::SetUp()
{
    if (!gSink->skipReason.isEmpty())
        GTEST_SKIP() << gSink->skipReason.toStdString();
    ASSERT_TRUE(gSink->error.isEmpty()) << gSink->error.toStdString();
    // What the suite's previous test played may still be on its way: start
    // after a stretch of fresh silence.
    m_firstSample = gSink->read().size();
    WaitFor([this] { return recordedMs() > kQuietMs && silentFrom(recordedMs() - kQuietMs); }, kSetupCapMs);
    m_firstSample = gSink->read().size();
}

QString SoundTest::writeTone(const QString& name, double hz, int ms)
{
    const QString path = dir.filePath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QStringList arguments = {"-n", "-r", "44100", "-b", "16", "-c", "1", path, "synth",
                                   QString::number(ms / 1000.0), "sine", QString::number(hz), "vol", "0.5"};
    EXPECT_EQ(QProcess::execute("sox", arguments), 0) << path.toStdString();
    return path;
}

int SoundTest::recordedMs()
{
    return static_cast<int>((gSink->read().size() - m_firstSample) * 1000 / kRate);
}

std::vector<SoundTest::Tone> SoundTest::heard()
{
    const std::vector<std::int16_t>& all = gSink->read();
    const std::span<const std::int16_t> samples(all.begin() + static_cast<std::ptrdiff_t>(m_firstSample), all.end());
    std::vector<Tone> tones;
    std::optional<std::size_t> first; // the open stretch's first and last loud window
    std::size_t last = 0;
    const auto close = [&] {
        const auto part = samples.subspan(*first * kWindow, (last + 1 - *first) * kWindow);
        int crossings = 0;
        for (std::size_t i = 1; i < part.size(); ++i)
            crossings += (part[i - 1] < 0) != (part[i] < 0);
        tones.push_back({int(*first) * kWindowMs, int(last + 1) * kWindowMs, crossings / 2.0 * kRate / double(part.size())});
    };
    for (std::size_t w = 0; (w + 1) * kWindow <= samples.size(); ++w) {
        double sum = 0;
        for (const std::int16_t sample : samples.subspan(w * kWindow, kWindow))
            sum += double(sample) * sample;
        if (std::sqrt(sum / kWindow) <= kSoundRms)
            continue;
        if (first && w - last > kBridgedWindows) {
            close();
            first.reset();
        }
        if (!first)
            first = w;
        last = w;
    }
    if (first)
        close();
    return tones;
}

bool SoundTest::silentFrom(int fromMs)
{
    const std::vector<Tone> tones = heard();
    return tones.empty() || tones.back().endMs <= std::max(fromMs, 0) / kWindowMs * kWindowMs;
}

bool SoundTest::waitForTones(std::size_t count, int capMs)
{
    return WaitFor(
        [&] {
            const std::vector<Tone> tones = heard();
            return tones.size() >= count && tones.back().endMs + 100 < recordedMs();
        },
        capMs);
}

bool SoundTest::waitForSoundFor(int ms, int capMs)
{
    return WaitFor(
        [&] {
            const std::vector<Tone> tones = heard();
            return !tones.empty() && tones.back().startMs + ms < recordedMs();
        },
        capMs);
}

bool WaitFor(const std::function<bool()>& done, int capMs)
{
    const QDeadlineTimer cap(capMs);
    QEventLoop loop;
    while (!done() && !cap.hasExpired()) {
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return done();
}

void RunEvents(int ms)
{
    WaitFor([] { return false; }, ms);
}

} // namespace tarnwick::testing
