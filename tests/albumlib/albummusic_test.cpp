// A music item's states, with and without a playback plugged in.

// ours
#include "albummusic.h"
#include "albumtestfiles.h"

// Qt
#include <QTemporaryDir>

// GoogleTest
#include <gtest/gtest.h>

// std
#include <vector>

namespace tarnwick {
namespace {

using testing::writeBytes;

enum class Step { Load, Play, Pause, Resume, Stop };

struct StepCase {
    const char* name;
    const char* fileName;
    std::vector<Step> steps;
    std::vector<int> states; // State() after each step
};

void runSteps(AlbumMusic& music, const QString& albumFolder, const StepCase& c)
{
    for (std::size_t i = 0; i < c.steps.size(); ++i) {
        switch (c.steps[i]) {
        case Step::Load: music.Load(albumFolder); break;
        case Step::Play: music.Play(); break;
        case Step::Pause: music.Pause(); break;
        case Step::Resume: music.Resume(); break;
        case Step::Stop: music.Stop(); break;
        }
        EXPECT_EQ(music.State(), c.states[i]) << "after step " << i;
    }
}

TEST(AlbumMusicStates, WithoutPlaybackFollowTheCalls)
{
    QTemporaryDir dir;
    ASSERT_TRUE(writeBytes(dir.path() + "/MainAlbum/track1.ogg", "ogg"));
    using S = Step;
    const StepCase cases[] = {
        {"plays a loaded file", "track1.ogg", {S::Load, S::Play}, {1, 2}},
        {"file name in another case", "TRACK1.OGG", {S::Load, S::Play}, {1, 2}},
        {"pause, resume and stop", "track1.ogg",
         {S::Load, S::Play, S::Pause, S::Resume, S::Stop}, {1, 2, 3, 2, 1}},
        {"play without load stays stopped", "track1.ogg", {S::Play}, {1}},
        {"missing file never plays", "track9.ogg", {S::Load, S::Play}, {1, 1}},
        {"resume only continues a paused item", "track1.ogg", {S::Load, S::Resume, S::Play, S::Resume},
         {1, 1, 2, 2}},
        {"pause only stops a playing item", "track1.ogg", {S::Load, S::Pause}, {1, 1}},
        {"load again starts over", "track1.ogg", {S::Load, S::Play, S::Load}, {1, 2, 1}},
        {"name leaving the folder", "../MainAlbum/track1.ogg", {S::Load, S::Play}, {1, 1}},
    };
    for (const StepCase& c : cases) {
        SCOPED_TRACE(c.name);
        AlbumMusic music;
        music.SetFileName(c.fileName);
        runSteps(music, dir.path() + "\\", c);
    }
}

// Records what the item asks of it and reports what the test sets.
struct FakePlayback : MusicPlayback {
    bool load(const QString& realPath) override
    {
        loadedPath = realPath;
        return accepts;
    }
    void play() override { current = Playing; }
    void stop() override { current = Stopped; }
    void pause() override { current = Paused; }
    void resume() override { current = Playing; }
    int state() const override { return current; }

    static inline bool accepts = true;
    static inline QString loadedPath;
    static inline FakePlayback* last = nullptr;
    int current = Stopped;
};

class AlbumMusicPlayback : public ::testing::Test {
protected:
    void SetUp() override
    {
        FakePlayback::accepts = true;
        AlbumMusic::SetPlaybackFactory([] {
            auto playback = std::make_unique<FakePlayback>();
            FakePlayback::last = playback.get();
            return playback;
        });
    }
    void TearDown() override { AlbumMusic::SetPlaybackFactory({}); }
};

TEST_F(AlbumMusicPlayback, HandsTheResolvedFileToThePlaybackAndReportsItsState)
{
    QTemporaryDir dir;
    ASSERT_TRUE(writeBytes(dir.path() + "/MainAlbum/Track1.ogg", "ogg"));
    AlbumMusic music;
    music.SetFileName("track1.ogg");
    ASSERT_TRUE(music.Load(dir.path() + "\\"));
    EXPECT_EQ(FakePlayback::loadedPath, dir.path() + "/MainAlbum/Track1.ogg");
    music.Play();
    EXPECT_EQ(music.State(), 2);
    FakePlayback::last->current = MusicPlayback::Finished;
    EXPECT_EQ(music.State(), 4);

    // A file the playback refuses leaves the item stopped.
    FakePlayback::accepts = false;
    EXPECT_FALSE(music.Load(dir.path()));
    music.Play();
    EXPECT_EQ(music.State(), 1);
}

} // namespace
} // namespace tarnwick
