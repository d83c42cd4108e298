// A music item's states, with and without a playback plugged in.

// ours
#include "albummusic.h"
#include "albumtestfiles.h"

// Qt
#include <QTemporaryDir>

// GoogleTest
#include <gtest/gtest.h>

// std
#include <tuple>

namespace tarnwick {
namespace {

TEST(AlbumMusicStates, WithoutPlaybackFollowTheCalls)
{
    QTemporaryDir dir;
    ASSERT_TRUE(testing::writeBytes(dir.path() + "/MainAlbum/track1.ogg", "ogg"));
    const std::tuple<const char*, const char*, const char*> cases[] = {
        // file name, steps L(oad) P(lay) A (pause) R(esume) S(top), State() after each
        {"TRACK1.OGG", "LPARS", "12321"}, {"track1.ogg", "P", "1"}, {"track9.ogg", "LP", "11"},
        {"track1.ogg", "LRPR", "1122"},   {"track1.ogg", "LA", "11"}, {"track1.ogg", "LPL", "121"},
        {"../MainAlbum/track1.ogg", "LP", "11"},
    };
    for (const auto& [fileName, steps, states] : cases) {
        AlbumMusic music;
        music.SetFileName(fileName);
        for (int i = 0; steps[i]; ++i) {
            switch (steps[i]) {
            case 'L': music.Load(dir.path() + "\\"); break;
            case 'P': music.Play(); break;
            case 'A': music.Pause(); break;
            case 'R': music.Resume(); break;
            case 'S': music.Stop(); break;
            }
            EXPECT_EQ(music.State(), states[i] - '0') << fileName << ' ' << steps << " step " << i;
        }
    }
}

// Records the file the item hands over; reports the state the test sets.
struct FakePlayback : MusicPlayback {
    bool load(const QString& realPath) override { return loaded = realPath, accepts; }
    void play() override { current = Playing; }
    void stop() override {}
    void pause() override {}
    void resume() override {}
    int state() const override { return current; }
    static inline bool accepts = true;
    static inline QString loaded;
    static inline int current = Stopped;
};

TEST(AlbumMusicPlayback, HandsTheResolvedFileToThePlaybackAndReportsItsState)
{
    QTemporaryDir dir;
    ASSERT_TRUE(testing::writeBytes(dir.path() + "/MainAlbum/Track1.ogg", "ogg"));
    AlbumMusic::SetPlaybackFactory([] { return std::make_unique<FakePlayback>(); });
    AlbumMusic music;
    music.SetFileName("track1.ogg");
    ASSERT_TRUE(music.Load(dir.path()));
    EXPECT_EQ(FakePlayback::loaded, dir.path() + "/MainAlbum/Track1.ogg");
    music.Play();
    EXPECT_EQ(music.State(), MusicPlayback::Playing);
    FakePlayback::current = MusicPlayback::Finished;
    EXPECT_EQ(music.State(), MusicPlayback::Finished);
    // A file the playback refuses leaves the item stopped.
    FakePlayback::accepts = false;
    EXPECT_FALSE(music.Load(dir.path()));
    music.Play();
    EXPECT_EQ(music.State(), MusicPlayback::Stopped);
    AlbumMusic::SetPlaybackFactory({});
}

} // namespace
} // namespace tarnwick
