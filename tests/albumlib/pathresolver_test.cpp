// Paths the player writes Windows-style, resolved against the real listing.

// ours
#include "albumtestfiles.h"
#include "pathresolver.h"

// Qt
#include <QTemporaryDir>

// GoogleTest
#include <gtest/gtest.h>

namespace tarnwick {
namespace {

TEST(PathResolver, ResolvesEachComponentAgainstTheRealListing)
{
    QTemporaryDir dir;
    const QString base = dir.path();
    ASSERT_TRUE(testing::writeBytes(base + "/Album/ResultPicture/p001.jpg", "x"));
    ASSERT_TRUE(QDir().mkpath(base + "/Album/MainAlbum"));
    // Two entries that differ only in letter case.
    ASSERT_TRUE(testing::writeBytes(base + "/Both/Photo.jpg", "") && testing::writeBytes(base + "/Both/photo.jpg", ""));
    const std::pair<const char*, const char*> cases[] = {
        // written below the test folder, real
        {"\\ALBUM\\\\RESULTPICTURE//P001.JPG", "/Album/ResultPicture/p001.jpg"},
        {"\\ALBUM\\MAINALBUM\\", "/Album/MainAlbum/"},
        {"\\ALBUM\\MAINALBUM", "/Album/MainAlbum"},
        // A file about to be created goes into the existing folder.
        {"\\ALBUM\\RESULTPICTURE\\NEW.JPG", "/Album/ResultPicture/NEW.JPG"},
        {"\\ALBUM\\NoSuchFolder\\RESULTPICTURE\\X.JPG", "/Album/NoSuchFolder/RESULTPICTURE/X.JPG"},
        // The exact name wins over a case-insensitive one; without an
        // exact one the first in name order is taken.
        {"\\BOTH\\photo.jpg", "/Both/photo.jpg"},
        {"\\BOTH\\Photo.jpg", "/Both/Photo.jpg"},
        {"\\BOTH\\PHOTO.JPG", "/Both/Photo.jpg"},
        {"\\ALBUM\\..\\ALBUM\\.\\MAINALBUM\\", "/Album/../Album/./MainAlbum/"},
    };
    for (const auto& [written, real] : cases)
        EXPECT_EQ(resolvePath(base + written), base + real) << written;
    // A command line may upper-case the whole path.
    EXPECT_EQ(resolvePath((base + "/album\\resultpicture\\p001.jpg").toUpper()),
              base + "/Album/ResultPicture/p001.jpg");
}

} // namespace
} // namespace tarnwick
