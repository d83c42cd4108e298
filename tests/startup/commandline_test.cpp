// The command-line grammar: upper-casing, pieces at "*", the switch table in
// its order, value parts and the preview's window handle.

// ours
#include "commandline.h"
#include "session.h"

#include <gtest/gtest.h>

// std
#include <tuple>

namespace tarnwick {
namespace {

TEST(CommandLine, TheFirstTwoUpperCasedCharactersChooseTheMode)
{
    const std::pair<const char*, std::int32_t> cases[] = {
        {"/1*/home/me/album.ini", ModeAlbumFolder}, {"  /2*a.ini*b.avi", ModeExport},
        {"*s*OFFSET=1*FILE=x", ModePackedAlbum},    {"/s*O=1*F=x", ModeSaver},
        {"/p 1234*O=1*F=x", ModeSaverPreview},      {"/a:99", ModeSaverPassword},
        {"/c:4711", ModeSaverSettings},             {"/C", ModeSaverSettings},
        {"", ModeNone}, {"--help-me", ModeNone}, {"/3", ModeNone}, {"/", ModeNone}, {"1/", ModeNone},
    };
    for (const auto& [line, mode] : cases)
        EXPECT_EQ(CommandLine(QString::fromLatin1(line)).Mode(), mode) << line;
}

TEST(CommandLine, PiecesValuePartsAndFolders)
{
    // Pieces are upper-cased, empty ones count, negative indices count
    // from the end.
    const CommandLine line(QStringLiteral("/1**/Home/Me/Album.ini*"));
    EXPECT_EQ(line.Pieces(), (QStringList{"/1", "", "/HOME/ME/ALBUM.INI", ""}));
    EXPECT_EQ(line.Piece(2).value(), QStringLiteral("/HOME/ME/ALBUM.INI"));
    EXPECT_FALSE(line.Piece(4).has_value());
    EXPECT_EQ(line.Piece(-1).value(), QString());

    // Only the text after the last "=" counts.
    const std::tuple<const char*, int, const char*> values[] = {
        {"/p 1234*offset=100*pack=C:\\x.scr", -2, "100"}, {"/p 1234*offset=100*pack=C:\\x.scr", -1, "C:\\X.SCR"},
        {"*S*A=B=7*F=/a=b", -2, "7"},                      {"*S*/tmp/c.pak", -1, "/TMP/C.PAK"},
    };
    for (const auto& [text, index, value] : values)
        EXPECT_EQ(CommandLine(QString::fromLatin1(text)).ValuePart(index).value(), value) << text << index;

    // Cut after the last separator of either kind.
    const std::pair<const char*, const char*> folders[] = {
        {"C:\\ALBUMS\\SEA\\ALBUM.INI", "C:\\ALBUMS\\SEA\\"}, {"/HOME/ME/SEA/ALBUM.INI", "/HOME/ME/SEA/"},
        {"/HOME/ME\\SEA/X", "/HOME/ME\\SEA/"},               {"ALBUM.INI", ""},
    };
    for (const auto& [path, folder] : folders)
        EXPECT_EQ(CommandLine::FolderOf(QString::fromLatin1(path)), QString::fromLatin1(folder)) << path;
}

TEST(CommandLine, HandlesThatDoNotConvertGiveNothing)
{
    const std::pair<const char*, std::optional<std::int32_t>> cases[] = {
        {"/p 1234*offset=100*pack=C:\\x.scr", 1234}, {"/P:77", 77}, {"/P", std::nullopt}, {"/P xyz", std::nullopt},
        {"/P 2.5", 2}, {"/P 3.5", 4}, {"/A 99999999999", std::nullopt},
    };
    for (const auto& [text, handle] : cases)
        EXPECT_EQ(CommandLine(QString::fromLatin1(text)).WindowHandle(), handle) << text;
}

} // namespace
} // namespace tarnwick
