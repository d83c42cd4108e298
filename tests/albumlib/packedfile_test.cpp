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

namespace tarnwick {
namespace {

using testing::entriesOf;
using testing::readBytes;
using testing::writeBytes;

// Bytes that differ from their neighbours, so a range one off shows.
QByteArray containerBytes(qint64 size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qint64 i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xff);
    return bytes;
}

class PackedFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_bytes = containerBytes(8192);
        m_container = m_dir.path() + "/album.pak";
        ASSERT_TRUE(writeBytes(m_container, m_bytes));
        ASSERT_TRUE(QDir().mkpath(m_dir.path() + "/ResultPicture"));
        m_reader.SetFileName(m_container);
    }

    QString output() const { return m_dir.path() + "/ResultPicture/p001.jpg"; }

    QTemporaryDir m_dir;
    QByteArray m_bytes;
    QString m_container;
    PackedFile m_reader;
};

TEST_F(PackedFileTest, CopiesTheBytesOfTheRange)
{
    struct Case {
        const char* name;
        qint64 start; // 1-based
        qint64 length;
    };
    const Case cases[] = {
        {"picture at offset 4096", 4097, 1500},
        {"whole container", 1, 8192},
        {"first byte", 1, 1},
        {"last byte", 8192, 1},
        {"empty copy", 4097, 0},
        {"empty copy just past the end", 8193, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // A longer older file of the same name is replaced whole.
        ASSERT_TRUE(writeBytes(output(), QByteArray(9000, 'x')));
        PackedFile target;
        target.SetOutputFile(output());
        ASSERT_TRUE(m_reader.CopyTo(c.start, target, 1, c.length));
        EXPECT_EQ(readBytes(output()), m_bytes.mid(c.start - 1, c.length));
        EXPECT_EQ(entriesOf(m_dir.path() + "/ResultPicture"), QStringList{"p001.jpg"});
    }
}

TEST_F(PackedFileTest, CopiesMoreThanOneChunkByteForByte)
{
    const QByteArray big = containerBytes(1 << 20);
    ASSERT_TRUE(writeBytes(m_dir.path() + "/big.pak", big));
    // Both paths as the player writes them.
    PackedFile reader;
    reader.SetFileName(m_dir.path() + "\\BIG.PAK");
    PackedFile target;
    target.SetOutputFile(m_dir.path() + "\\RESULTPICTURE\\p002.jpg");
    ASSERT_TRUE(reader.CopyTo(100001, target, 1, 700000));
    EXPECT_TRUE(readBytes(m_dir.path() + "/ResultPicture/p002.jpg") == big.mid(100000, 700000));
}

TEST_F(PackedFileTest, RefusesAndWritesNothing)
{
    const qint64 huge = std::numeric_limits<qint64>::max();
    struct Case {
        const char* name;
        const char* container; // below the test folder; "" keeps album.pak
        const char* out;       // below the test folder
        qint64 start;
        qint64 length;
    };
    const Case cases[] = {
        {"start 0", "", "/ResultPicture/p.jpg", 0, 10},
        {"negative start", "", "/ResultPicture/p.jpg", -5, 10},
        {"negative length", "", "/ResultPicture/p.jpg", 1, -1},
        {"range past the end", "", "/ResultPicture/p.jpg", 8000, 500},
        {"range one byte past the end", "", "/ResultPicture/p.jpg", 8192, 2},
        {"start past the end", "", "/ResultPicture/p.jpg", 8194, 0},
        {"length that overflows", "", "/ResultPicture/p.jpg", 2, huge},
        {"start that overflows", "", "/ResultPicture/p.jpg", huge, 2},
        {"missing container", "/missing.pak", "/ResultPicture/p.jpg", 1, 10},
        {"container is a folder", "/ResultPicture", "/ResultPicture/p.jpg", 1, 0},
        {"output named ..", "", "/ResultPicture/..", 1, 10},
        {"output named .. with backslash", "", "/ResultPicture\\..", 1, 10},
        {"output is a folder path", "", "/ResultPicture/", 1, 10},
        {"output folder missing", "", "/NoFolder/p.jpg", 1, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PackedFile reader;
        reader.SetFileName(*c.container ? m_dir.path() + c.container : m_container);
        PackedFile target;
        target.SetOutputFile(m_dir.path() + c.out);
        EXPECT_FALSE(reader.CopyTo(c.start, target, 1, c.length));
        EXPECT_TRUE(entriesOf(m_dir.path() + "/ResultPicture").isEmpty());
        EXPECT_EQ(entriesOf(m_dir.path()), (QStringList{"ResultPicture", "album.pak"}));
    }

    // A refused copy leaves an existing file as it was.
    ASSERT_TRUE(writeBytes(output(), "old"));
    PackedFile target;
    target.SetOutputFile(output());
    EXPECT_FALSE(m_reader.CopyTo(8000, target, 1, 500));
    EXPECT_EQ(readBytes(output()), "old");
    // An output without a name at all.
    PackedFile unnamed;
    EXPECT_FALSE(m_reader.CopyTo(1, unnamed, 1, 10));
}

} // namespace
} // namespace tarnwick
