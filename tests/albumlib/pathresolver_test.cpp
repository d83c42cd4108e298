// ours
#include "albumtestfiles.h"
#include "pathresolver.h"

// Qt
#include <QTemporaryDir>

// GoogleTest
#include <gtest/gtest.h>

namespace tarnwick {
namespace {

using testing::writeBytes;

class PathResolverTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_base = m_dir.path();
        ASSERT_TRUE(writeBytes(m_base + "/Album/ResultPicture/p001.jpg", "x"));
        ASSERT_TRUE(QDir().mkpath(m_base + "/Album/MainAlbum"));
        // Two entries that differ only in letter case.
        ASSERT_TRUE(writeBytes(m_base + "/Both/Photo.jpg", "upper"));
        ASSERT_TRUE(writeBytes(m_base + "/Both/photo.jpg", "lower"));
    }

    QTemporaryDir m_dir;
    QString m_base;
};

TEST_F(PathResolverTest, ResolvesEachComponentAgainstTheRealListing)
{
    struct Case {
        const char* written; // below the test folder
        const char* real;
    };
    const Case cases[] = {
        {"\\ALBUM\\RESULTPICTURE\\P001.JPG", "/Album/ResultPicture/p001.jpg"},
        {"/album/resultpicture/P001.jpg", "/Album/ResultPicture/p001.jpg"},
        {"/Album\\ResultPicture/p001.jpg", "/Album/ResultPicture/p001.jpg"},
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
    for (const Case& c : cases) {
        SCOPED_TRACE(c.written);
        EXPECT_EQ(resolvePath(m_base + QString::fromUtf8(c.written)).toStdString(),
                  (m_base + QString::fromUtf8(c.real)).toStdString());
    }
}

TEST_F(PathResolverTest, ResolvesAWhollyUpperCasedCommandLinePath)
{
    const QString written = (m_base + "/album\\resultpicture\\p001.jpg").toUpper();
    const QString real = resolvePath(written);
    EXPECT_TRUE(QFileInfo(real).isFile()) << real.toStdString();
}

TEST(PathResolverNames, SplitsJoinsAndChecksNames)
{
    struct NameCase {
        const char* path;
        const char* fileName;
        const char* folder;
        bool plain;
    };
    const NameCase cases[] = {
        {"C:\\album\\p001.jpg", "p001.jpg", "C:\\album\\p001.jpg\\", false},
        {"/home/me/p.jpg", "p.jpg", "/home/me/p.jpg\\", false},
        {"p001.jpg", "p001.jpg", "p001.jpg\\", true},
        {"/home/me/", "", "/home/me/", false},
        {"album\\", "", "album\\", false},
        {"..", "..", "..\\", false},
        {".", ".", ".\\", false},
        {"", "", "", false},
        {"a b;c.jpg", "a b;c.jpg", "a b;c.jpg\\", true},
        {"tab\tname", "tab\tname", "tab\tname\\", false},
    };
    for (const NameCase& c : cases) {
        SCOPED_TRACE(c.path);
        const QString path = QString::fromUtf8(c.path);
        EXPECT_EQ(systemFileName(path), QString::fromUtf8(c.fileName));
        EXPECT_EQ(toSystemFolder(path), QString::fromUtf8(c.folder));
        EXPECT_EQ(isPlainFileName(path), c.plain);
    }
}

} // namespace
} // namespace tarnwick
