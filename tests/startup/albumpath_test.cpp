// One path on the command line: which switch it becomes, where a packed
// album runs, and the words that are no path and no option of ours.

// ours
#include "albumpath.h"

// Qt
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

// GoogleTest
#include <gtest/gtest.h>

namespace tarnwick {
namespace {

void put(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(path.section('/', 0, -2));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()) << path.toStdString();
}

QByteArray containerHeader(quint32 offset)
{
    QByteArray header("TWKALBUM\0\0\0\0\0\0\0\0", 16);
    qToLittleEndian<quint32>(offset, header.data() + 8);
    return header;
}

TEST(AlbumPath, EachFormBecomesTheSwitchThatPlaysIt)
{
    QTemporaryDir root;
    const QString r = root.path();
    put(r + "/plain/album.ini", "[Album]\r\nTitle=A\r\n");
    put(r + "/named/holiday.ini", "[Album]\r\nTitle=B\r\n");
    put(r + "/packed/MainpicFileInfo.ini", "[Album]\r\n");
    put(r + "/packed/album.pak", containerHeader(4096) + QByteArray(64, 'x'));
    put(r + "/packed/notes.txt", "not a container");
    put(r + "/raw/MainpicFileInfo.ini", "[Album]\r\n");
    put(r + "/raw/pictures.pak", "no header at all");
    put(r + "/empty/readme.txt", "");
    put(r + "/other/settings.ini", "[Stop]\r\nStopTime=5\r\n");
    put(r + "/twopacks/MainpicFileInfo.ini", "[Album]\r\n");
    put(r + "/twopacks/a.pak", ""), put(r + "/twopacks/b.pak", "");

    const QString packed = "*S*OFFSET=4096*FILE=" + r + "/packed/album.pak";
    const struct {
        QString path, commandLine, programFolder; // empty command line: refused
    } cases[] = {
        {r + "/plain", "/1*" + r + "/plain/album.ini", ""},
        {r + "/plain/", "/1*" + r + "/plain/album.ini", ""},
        {r + "/plain/album.ini", "/1*" + r + "/plain/album.ini", ""},
        {r + "/named", "/1*" + r + "/named/holiday.ini", ""},
        {r + "/named/holiday.ini", "/1*" + r + "/named/holiday.ini", ""},
        {r + "/packed", packed, r + "/packed"},
        {r + "/packed/album.pak", packed, r + "/packed"},
        {r + "/packed/MainpicFileInfo.ini", packed, r + "/packed"},
        {r + "/raw/pictures.pak", "*S*OFFSET=0*FILE=" + r + "/raw/pictures.pak", r + "/raw"},
        {r + "/empty", "", ""},
        {r + "/empty/readme.txt", "", ""},
        {r + "/other/settings.ini", "", ""},
        {r + "/twopacks", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        ASSERT_TRUE(IsAlbumPath({c.path}));
        QString error;
        const auto start = StartForAlbumPath(c.path, error);
        EXPECT_EQ(start.has_value(), !c.commandLine.isEmpty()) << error.toStdString();
        if (start) {
            EXPECT_EQ(start->commandLine.toStdString(), c.commandLine.toStdString());
            EXPECT_EQ(start->programFolder.toStdString(), c.programFolder.toStdString());
        } else {
            EXPECT_TRUE(error.startsWith('"' + c.path + '"')) << error.toStdString();
        }
    }
}

TEST(AlbumPath, SwitchesStaySwitchesAndOnlyForeignOptionsAreUnknown)
{
    const struct {
        QStringList words;
        bool path, missing;
        const char* unknown; // nullptr: none
    } cases[] = {
        {{"/1*/tmp/album.ini"}, false, false, nullptr},
        {{"/C"}, false, false, nullptr},
        {{"/p", "1234*OFFSET=1*FILE=x"}, false, false, nullptr},
        {{"/tmp"}, true, false, nullptr},
        {{"/tmp/no-such-album-here"}, false, true, nullptr},
        {{"no-such-word"}, false, false, nullptr},
        {{"--exprot", "x"}, false, false, "--exprot"},
        {{"--help"}, false, false, nullptr},
        {{"/1*a", "--Version"}, false, false, "--Version"},
        {{"-x"}, false, false, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.words.join(' ').toStdString());
        EXPECT_EQ(IsAlbumPath(c.words), c.path);
        EXPECT_EQ(IsMissingPath(c.words), c.missing);
        EXPECT_EQ(UnknownOption(c.words).value_or(QString()).toStdString(), c.unknown ? c.unknown : "");
    }
}

} // namespace
} // namespace tarnwick
