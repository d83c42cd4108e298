// Real sound, recorded from a null sink of the suite's own (skipped without a sound server); gaps go to properties.
#include "album.h"
#include "headlessview.h"
#include "musicsupervisor.h"
#include "programfolder.h"
#include "qtmusicplayback.h"
#include "session.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QMediaDevices>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace tarnwick {
namespace {

constexpr int kRate = 8000, kCapMs = 5000, kWindowMs = 10, kTickMs = 1000; // recording rate, set-up cap
constexpr std::size_t kWindow = kRate * kWindowMs / 1000, kBridgedWindows = 3; // silences under 30 ms do not split
constexpr double kSoundRms = 300; // of 32767; the null sink gives exact zeros when nothing plays

// Runs the event loop until `done` or `capMs` have passed: a cap, not a timing.
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

std::optional<QString> pactl(const QStringList& arguments)
{
    QProcess process;
    process.start("pactl", arguments);
    if (!process.waitForFinished(kCapMs) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return std::nullopt;
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

bool qtKnowsSink(const QString& sink)
{
    const QList<QAudioDevice> outputs = QMediaDevices::audioOutputs();
    return std::any_of(outputs.begin(), outputs.end(), [&](const QAudioDevice& d) { return d.id() == sink.toUtf8(); });
}

// The suite's sink and everything recorded from it.
struct Sink {
    QString skipReason, error, name, module;
    QProcess parec;
    QByteArray pending;
    std::vector<std::int16_t> samples;

    const std::vector<std::int16_t>& read()
    {
        pending += parec.readAllStandardOutput();
        const std::size_t had = samples.size(), whole = static_cast<std::size_t>(pending.size()) / 2;
        samples.resize(had + whole);
        std::memcpy(samples.data() + had, pending.constData(), whole * 2);
        pending.remove(0, static_cast<qsizetype>(whole * 2));
        return samples;
    }
    // Loads the sink, waits until Qt lists it and records its monitor; why that failed, or "".
    QString start()
    {
        static int made = 0; // a new name each suite: Qt would take a sink being removed for a new one of its name
        name = QString("tarnwick_test_%1_%2").arg(QCoreApplication::applicationPid()).arg(++made);
        const std::optional<QString> loaded = pactl({"load-module", "module-null-sink", "sink_name=" + name});
        if (!loaded)
            return "cannot load a null sink";
        module = *loaded;
        if (!WaitFor([&] { return qtKnowsSink(name); }, kCapMs))
            return "Qt does not list the sink " + name;
        qputenv("PULSE_SINK", name.toUtf8());
        parec.start("parec", {"-d", name + ".monitor", "--raw", "--format=s16ne", "--channels=1",
                              QString("--rate=%1").arg(kRate), "--latency-msec=10"});
        // A new null sink stays idle two seconds, losing sound; a suspend and resume starts it at once.
        const auto recording = [&] { return !read().empty(); };
        for (int tries = 0; tries < 20 && parec.waitForStarted(kCapMs) && !recording(); ++tries) {
            pactl({"suspend-sink", name, "1"});
            pactl({"suspend-sink", name, "0"});
            WaitFor(recording, 250);
        }
        return recording() ? QString() : "parec does not record " + name + ".monitor";
    }
};
std::unique_ptr<Sink> gSink;

// The music timer on real playback, its album written as tones under a folder of its own.
class MusicSoundTest : public ::testing::Test {
public:
    static void SetUpTestSuite()
    {
        gSink = std::make_unique<Sink>();
        if (!pactl({"info"}))
            gSink->skipReason = "no PulseAudio server answers `pactl info`";
        else
            gSink->error = gSink->start();
    }
    static void TearDownTestSuite()
    {
        gSink->parec.kill();
        gSink->parec.waitForFinished(kCapMs);
        qunsetenv("PULSE_SINK");
        if (!gSink->module.isEmpty() && pactl({"unload-module", gSink->module})) // let Qt see it go
            WaitFor([] { return !qtKnowsSink(gSink->name); }, kCapMs);
        gSink.reset();
    }

protected:
    struct Tone { // a stretch of sound, in ms from the test's start; hz from the zero crossings
        int startMs, endMs;
        double hz;
    };

    void SetUp() override
    {
        if (!gSink->skipReason.isEmpty())
            GTEST_SKIP() << gSink->skipReason.toStdString();
        ASSERT_TRUE(gSink->error.isEmpty()) << gSink->error.toStdString();
        // The previous test's sound may still be on its way: start after 300 ms of fresh silence.
        m_first = gSink->read().size();
        WaitFor([this] { return recordedMs() > 300 && silentFrom(recordedMs() - 300); }, kCapMs);
        m_first = gSink->read().size();
        InstallQtMusicPlayback();
        SetProgramFolder(dir.path());
        StartMode = ModeAlbumFolder;
    }
    void TearDown() override
    {
        supervisor.stopAll();
        AlbumMusic::SetPlaybackFactory({});
        ResetSession();
    }
    // Music item i is a mono 16-bit WAV of a sine at half of full scale, hz[i] for ms[i] (hz 0: the test
    // writes it); the timer runs.
    void playAlbum(const std::vector<std::pair<double, int>>& items)
    {
        QString text = QString("[Album]\nMusics=%1\n").arg(items.size());
        QDir(dir.path()).mkpath("MainAlbum");
        for (std::size_t i = 0; i < items.size(); ++i) {
            const QString name = QString("m%1.wav").arg(i + 1);
            text += QString("[Music%1]\nFile=%2\n").arg(i + 1).arg(name);
            const auto [hz, ms] = items[i];
            if (hz > 0) {
                EXPECT_EQ(QProcess::execute("sox", {"-n", "-r", "44100", "-b", "16", "-c", "1",
                                                    dir.filePath("MainAlbum/" + name), "synth",
                                                    QString::number(ms / 1000.0), "sine", QString::number(hz),
                                                    "vol", "0.5"}), 0);
            }
        }
        gAlbum = std::make_unique<Album>();
        gAlbum->LoadText(text);
        gAlbum->SetPath(dir.path());
        supervisor.tmrSound().start();
    }
    int recordedMs() { return static_cast<int>((gSink->read().size() - m_first) * 1000 / kRate); }
    // The stretches heard, judged in 10 ms windows.
    std::vector<Tone> heard()
    {
        const std::vector<std::int16_t>& all = gSink->read();
        const std::span<const std::int16_t> samples(all.begin() + static_cast<std::ptrdiff_t>(m_first), all.end());
        std::vector<Tone> tones;
        std::optional<std::size_t> first; // the open stretch's first and last loud window
        std::size_t last = 0;
        const auto close = [&] {
            const auto part = samples.subspan(*first * kWindow, (last + 1 - *first) * kWindow);
            int crossings = 0;
            for (std::size_t i = 1; i < part.size(); ++i)
                crossings += (part[i - 1] < 0) != (part[i] < 0);
            tones.push_back({int(*first) * kWindowMs, int(last + 1) * kWindowMs, crossings / 2.0 * kRate / part.size()});
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
    bool silentFrom(int fromMs)
    {
        const std::vector<Tone> tones = heard();
        return tones.empty() || tones.back().endMs <= std::max(fromMs, 0) / kWindowMs * kWindowMs;
    }

    QTemporaryDir dir;
    HeadlessPlayerView view;
    PlayerState state{view};
    MusicSupervisor supervisor{state};

private:
    std::size_t m_first = 0;
};

TEST_F(MusicSoundTest, AnItemPlayedToItsEndBringsTheNextAndSwitchingOffFallsSilentWithinATick)
{
    playAlbum({{440, 700}, {660, 2000}}); // the first ends between two ticks
    ASSERT_TRUE(WaitFor([&] { auto t = heard(); return t.size() == 2 && t[1].startMs + 400 < recordedMs(); },
                        3 * kTickMs + 3000));
    supervisor.musicSwitched(false);
    const int switchedAt = recordedMs();
    WaitFor([] { return false; }, kTickMs + 300);
    EXPECT_TRUE(silentFrom(switchedAt + kTickMs));
    EXPECT_EQ(state.mActiveMusic()->State(), MusicPlayback::Stopped);
    EXPECT_FALSE(supervisor.mMusicFailed());
    const auto tones = heard();
    ASSERT_EQ(tones.size(), 2u);
    EXPECT_NEAR(tones[0].hz, 440, 15);
    EXPECT_NEAR(tones[1].hz, 660, 15);
    EXPECT_NEAR(tones[0].endMs - tones[0].startMs, 700, 150); // heard whole
    RecordProperty("gap_ms", tones[1].startMs - tones[0].endMs);
    RecordProperty("off_to_silence_ms", tones[1].endMs - switchedAt);
}

TEST_F(MusicSoundTest, AnItemThatIsNotSoundStopsThePolling)
{
    playAlbum({{0, 0}, {440, 1000}});
    const QString path = dir.filePath("MainAlbum/m1.wav");
    const std::optional<QByteArray> files[] = {"not sound at all\n", "", QByteArray("RIFF\x24\0\0\0WAVEfmt ", 16),
                                               std::nullopt}; // nullopt: a folder of the item's name
    for (const std::optional<QByteArray>& bytes : files) {
        SCOPED_TRACE(bytes.value_or("(folder)").toStdString());
        QFile file(path);
        ASSERT_TRUE(bytes ? file.open(QIODevice::WriteOnly) && file.write(*bytes) == bytes->size()
                          : file.remove() && QDir().mkdir(path));
        file.close();
        supervisor.musicSwitched(true); // the first file starts on the first tick, the others after a click
        supervisor.tick();
        const bool playing = state.mActiveMusic()->State() == MusicPlayback::Playing;
        EXPECT_EQ(QString("%1 %2 %3 %4").arg(supervisor.mMusicFailed() ? "failed" : "-")
                      .arg(supervisor.tmrSound().isActive() ? "polling" : "-").arg(state.mActiveMusicIndex())
                      .arg(playing ? "playing" : "-"), "failed - 1 -");
        supervisor.stopAll();
    }
}

} // namespace
} // namespace tarnwick
