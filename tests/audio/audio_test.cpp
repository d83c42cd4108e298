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
#include <QFileInfo>
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
void RunEvents(int ms) { WaitFor([] { return false; }, ms); }

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

class SoundTest : public ::testing::Test {
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
        int ms() const { return endMs - startMs; }
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
    }
    // A mono 16-bit WAV of a sine at half of full scale under dir.
    QString writeTone(const QString& name, double hz, int ms)
    {
        const QString path = dir.filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        EXPECT_EQ(QProcess::execute("sox", {"-n", "-r", "44100", "-b", "16", "-c", "1", path, "synth",
                                            QString::number(ms / 1000.0), "sine", QString::number(hz), "vol", "0.5"}), 0);
        return path;
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
    // Until `count` stretches were heard and the last has ended, or the last has sounded for `ms`.
    bool waitForTones(std::size_t count, int capMs)
    {
        return WaitFor([&] { auto t = heard(); return t.size() >= count && t.back().endMs + 100 < recordedMs(); }, capMs);
    }
    bool waitForSoundFor(int ms, int capMs)
    {
        return WaitFor([&] { auto t = heard(); return !t.empty() && t.back().startMs + ms < recordedMs(); }, capMs);
    }

    QTemporaryDir dir;

private:
    std::size_t m_first = 0;
};

using QtMusicPlaybackTest = SoundTest;

TEST(QtMusicPlaybackLoad, RefusesWhatIsNotAFile)
{
    QTemporaryDir dir;
    for (const QString& path : {dir.filePath("missing.wav"), dir.path(), QString()}) {
        QtMusicPlayback playback;
        EXPECT_FALSE(playback.load(path)) << path.toStdString();
        playback.play();
        EXPECT_EQ(playback.state(), MusicPlayback::Stopped) << path.toStdString();
    }
}

TEST_F(QtMusicPlaybackTest, PlaysAToneToItsEndThenAgainFromTheStartUntilStopped)
{
    QtMusicPlayback playback;
    ASSERT_TRUE(playback.load(writeTone("a.wav", 440, 1000)));
    EXPECT_EQ(playback.state(), MusicPlayback::Stopped);
    playback.play(); // Playing at once: the music timer reads the state right after
    EXPECT_EQ(playback.state(), MusicPlayback::Playing);
    ASSERT_TRUE(WaitFor([&] { return playback.state() == MusicPlayback::Finished; }, 6000));
    playback.play();
    EXPECT_EQ(playback.state(), MusicPlayback::Playing);
    RunEvents(400);
    playback.stop();
    EXPECT_EQ(playback.state(), MusicPlayback::Stopped);
    const int stoppedAt = recordedMs();
    RunEvents(600);
    EXPECT_TRUE(silentFrom(stoppedAt + 300));
    const auto tones = heard();
    ASSERT_EQ(tones.size(), 2u);
    for (const auto& tone : tones)
        EXPECT_NEAR(tone.hz, 440, 15);
    EXPECT_GT(tones[0].ms(), 800); // the whole second first, then a part cut short by the stop
    EXPECT_LT(tones[1].ms(), 700);
}

class MusicSupervisorSoundTest : public SoundTest {
protected:
    void SetUp() override
    {
        SoundTest::SetUp();
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
    // Music item i is a tone of hz[i] lasting ms + i * stepMs (hz 0: the test writes it); the timer runs.
    void playAlbum(const std::vector<double>& hz, int ms, int stepMs = 0)
    {
        QString text = QString("[Album]\nMusics=%1\n").arg(hz.size());
        for (std::size_t i = 0; i < hz.size(); ++i) {
            text += QString("[Music%1]\nFile=m%1.wav\n").arg(i + 1);
            if (hz[i] > 0)
                writeTone(QString("MainAlbum/m%1.wav").arg(i + 1), hz[i], ms + int(i) * stepMs);
        }
        gAlbum = std::make_unique<Album>();
        gAlbum->LoadText(text);
        gAlbum->SetPath(dir.path());
        supervisor.tmrSound().start();
    }

    HeadlessPlayerView view;
    PlayerState state{view};
    MusicSupervisor supervisor{state};
};

TEST_F(MusicSupervisorSoundTest, ItemsAreHeardInAlbumOrderAndWrap)
{
    playAlbum({440, 660, 880}, 1000, 300); // items end at different points of the timer's second
    ASSERT_TRUE(waitForTones(4, 16000));
    const auto tones = heard();
    const double expected[] = {440, 660, 880, 440};
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(tones[i].hz, expected[i], 15) << "item " << i;
        if (i > 0)
            RecordProperty(QString("gap_ms_%1").arg(i).toStdString(), tones[i].startMs - tones[i - 1].endMs);
    }
    EXPECT_FALSE(supervisor.mMusicFailed());
}

TEST_F(MusicSupervisorSoundTest, SwitchingOffFallsSilentWithinATickAndOnPlaysAgain)
{
    playAlbum({440}, 2000);
    ASSERT_TRUE(waitForSoundFor(400, kTickMs + 3000));
    supervisor.musicSwitched(false);
    const int switchedAt = recordedMs();
    RunEvents(kTickMs + 300);
    EXPECT_TRUE(silentFrom(switchedAt + kTickMs));
    ASSERT_EQ(heard().size(), 1u);
    RecordProperty("off_to_silence_ms", heard().back().endMs - switchedAt);
    EXPECT_EQ(state.mActiveMusic()->State(), MusicPlayback::Stopped);
    supervisor.musicSwitched(true);
    EXPECT_TRUE(WaitFor([&] { return heard().size() == 2; }, 2 * kTickMs + 500));
    EXPECT_EQ(state.mActiveMusicIndex(), 1);
}

TEST_F(MusicSupervisorSoundTest, PausedItemStaysPausedWhileOffAndResumesWhenOn)
{
    playAlbum({660}, 2000);
    ASSERT_TRUE(waitForSoundFor(500, kTickMs + 3000));
    state.mActiveMusic()->Pause();
    supervisor.musicSwitched(false);
    RunEvents(kTickMs + 300);
    EXPECT_EQ(state.mActiveMusic()->State(), MusicPlayback::Paused);
    EXPECT_EQ(heard().size(), 1u);
    supervisor.musicSwitched(true);
    ASSERT_TRUE(waitForTones(2, 4 * kTickMs));
    const auto tones = heard();
    EXPECT_NEAR(tones[1].hz, 660, 15);
    EXPECT_NEAR(tones[0].ms() + tones[1].ms(), 2000, 250); // resumed where it paused
}

TEST_F(MusicSupervisorSoundTest, ItemThatIsNotSoundStopsThePolling)
{
    playAlbum({0, 440}, 1000);
    for (const QByteArray& bytes : {QByteArray("not sound at all\n"), QByteArray(), QByteArray("RIFF\x24\0\0\0WAVEfmt ", 16)}) {
        SCOPED_TRACE(bytes.toStdString());
        QFile file(dir.filePath("MainAlbum/m1.wav"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        supervisor.musicSwitched(true); // the first file starts on the first tick, the others after a click
        supervisor.tick();
        EXPECT_TRUE(supervisor.mMusicFailed());
        EXPECT_FALSE(supervisor.tmrSound().isActive());
        EXPECT_EQ(state.mActiveMusicIndex(), 1);
        EXPECT_NE(state.mActiveMusic()->State(), MusicPlayback::Playing);
        supervisor.stopAll();
        EXPECT_NE(state.mActiveMusic()->State(), MusicPlayback::Playing);
    }
}

} // namespace
} // namespace tarnwick
