// Copying byte ranges out of a generated container, and every refusal.

// ours
#include "albumtestfiles.h"
#include "packedfile.h"

// Qt
#include <QTemporaryDir>

// GoogleTest
#include <gtest/gtest.h>

// std
#include <limits>
#include <tuple>

namespace tarnwick {
namespace {

using testing::entriesOf;
using testing::readBytes;
using testing::writeBytes;

// More than one copy chunk.
constexpr qint64 kSize = 600000;

// Copies `length` bytes from 1-based `start` of `container` into `out`, both below `dir`.
bool copy(const QTemporaryDir& dir, const char* container, qint64 start, qint64 length, const char* out)
{
    PackedFile reader;
    PackedFile target;
    reader.SetFileName(dir.path() + container);
    target.SetOutputFile(dir.path() + out);
    return reader.CopyTo(start, target, 1, length);
}

TEST(PackedFile, CopiesTheBytesOfTheRange)
{
    QTemporaryDir dir;
    const QByteArray bytes = testing::containerBytes(kSize);
    ASSERT_TRUE(writeBytes(dir.path() + "/album.pak", bytes));
    const std::pair<qint64, qint64> cases[] = {{4097, 1500}, {1, kSize}, {kSize, 1}, {kSize + 1, 0}, {100001, 300000}};
    for (const auto& [start, length] : cases) {
        // A longer older file of the same name is replaced whole.
        ASSERT_TRUE(writeBytes(dir.path() + "/ResultPicture/p001.jpg", QByteArray(kSize + 10, 'x')));
        // Paths as the player writes them.
        ASSERT_TRUE(copy(dir, "\\ALBUM.PAK", start, length, "\\RESULTPICTURE\\p001.jpg")) << start;
        EXPECT_TRUE(readBytes(dir.path() + "/ResultPicture/p001.jpg") == bytes.mid(start - 1, length)) << start;
        EXPECT_EQ(entriesOf(dir.path() + "/ResultPicture"), QStringList{"p001.jpg"});
    }
}

TEST(PackedFile, RefusesAndWritesNothing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(writeBytes(dir.path() + "/a.pak", testing::containerBytes(kSize)));
    ASSERT_TRUE(QDir().mkpath(dir.path() + "/Out"));
    const qint64 huge = std::numeric_limits<qint64>::max();
    const std::tuple<const char*, qint64, qint64, const char*> cases[] = {
        // container, start, length, output
        {"/a.pak", 0, 10, "/Out/p.jpg"},       {"/a.pak", 1, -1, "/Out/p.jpg"},
        {"/a.pak", kSize, 2, "/Out/p.jpg"},    {"/a.pak", kSize + 2, 0, "/Out/p.jpg"},
        {"/a.pak", 2, huge, "/Out/p.jpg"},     {"/a.pak", huge, 2, "/Out/p.jpg"},
        {"/missing.pak", 1, 10, "/Out/p.jpg"}, {"/Out", 1, 0, "/Out/p.jpg"},
        {"/a.pak", 1, 10, "/Out/.."},          {"/a.pak", 1, 10, "/Out\\.."},
        {"/a.pak", 1, 10, "/Out/"},            {"/a.pak", 1, 10, "/NoFolder/p.jpg"},
    };
    for (const auto& [container, start, length, out] : cases) {
        EXPECT_FALSE(copy(dir, container, start, length, out)) << container << " " << start << "," << length << out;
        EXPECT_EQ(entriesOf(dir.path()), (QStringList{"Out", "a.pak"}));
        EXPECT_TRUE(entriesOf(dir.path() + "/Out").isEmpty());
    }
    // A refused copy leaves an existing file as it was.
    ASSERT_TRUE(writeBytes(dir.path() + "/Out/p.jpg", "old"));
    EXPECT_FALSE(copy(dir, "/a.pak", kSize - 10, 500, "/Out/p.jpg"));
    EXPECT_EQ(readBytes(dir.path() + "/Out/p.jpg"), "old");
}

} // namespace
} // namespace tarnwick
