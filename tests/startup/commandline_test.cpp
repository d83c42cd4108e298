// The command-line grammar: upper-casing, pieces at "*", the switch table in
// its order, value parts and the preview's window handle.

// ours
#include "commandline.h"
#include "session.h"

// std
#include <gtest/gtest.h>

namespace tarnwick {
namespace {

struct SwitchCase {
    const char* line;
    std::int32_t mode;
};

TEST(CommandLine, TheFirstTwoUpperCasedCharactersChooseTheMode)
{
    const SwitchCase cases[] = {
        {"/1*/home/me/album.ini", ModeAlbumFolder},
        {"  /2*a.ini*b.avi", ModeExport},
        {"*s*OFFSET=1*FILE=x", ModePackedAlbum},
        {"/s*O=1*F=x", ModeSaver},
        {"/p 1234*O=1*F=x", ModeSaverPreview},
        {"/a:99", ModeSaverPassword},
        {"/c:4711", ModeSaverSettings},
        {"/C", ModeSaverSettings},
        {"", ModeNone},
        {"--help-me", ModeNone},
        {"/3", ModeNone},
        {"/", ModeNone},
        {"1/", ModeNone},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CommandLine(QString::fromLatin1(c.line)).Mode(), c.mode) << c.line;
}

TEST(CommandLine, PiecesAreUpperCasedAndEmptyOnesCount)
{
    const CommandLine line(QStringLiteral("/1**/Home/Me/Album.ini*"));
    EXPECT_EQ(line.Pieces(), (QStringList{"/1", "", "/HOME/ME/ALBUM.INI", ""}));
    EXPECT_EQ(line.Piece(2).value(), QStringLiteral("/HOME/ME/ALBUM.INI"));
    EXPECT_FALSE(line.Piece(4).has_value());
    EXPECT_EQ(line.Piece(-1).value(), QString());
}

TEST(CommandLine, PreviewCarriesHandleOffsetAndContainer)
{
    const CommandLine line(QStringLiteral("/p 1234*offset=100*pack=C:\\x.scr"));
    EXPECT_EQ(line.Mode(), ModeSaverPreview);
    EXPECT_EQ(line.WindowHandle().value(), 1234);
    EXPECT_EQ(line.ValuePart(-2).value(), QStringLiteral("100"));
    EXPECT_EQ(line.ValuePart(-1).value(), QStringLiteral("C:\\X.SCR"));
    // Only the text after the last "=" counts.
    EXPECT_EQ(CommandLine(QStringLiteral("*S*A=B=7*F=/a=b")).ValuePart(-2).value(), QStringLiteral("7"));
    EXPECT_EQ(CommandLine(QStringLiteral("*S*/tmp/c.pak")).ValuePart(-1).value(), QStringLiteral("/TMP/C.PAK"));
}

TEST(CommandLine, HandlesThatDoNotConvertGiveNothing)
{
    const std::pair<const char*, std::optional<std::int32_t>> cases[] = {
        {"/P 1234", 1234},  {"/P:77", 77},    {"/P", std::nullopt}, {"/P xyz", std::nullopt},
        {"/P 2.5", 2},      {"/P 3.5", 4},    {"/A 99999999999", std::nullopt},
    };
    for (const auto& [text, handle] : cases)
        EXPECT_EQ(CommandLine(QString::fromLatin1(text)).WindowHandle(), handle) << text;
}

TEST(CommandLine, FolderIsCutAfterTheLastSeparator)
{
    EXPECT_EQ(CommandLine::FolderOf(QStringLiteral("C:\\ALBUMS\\SEA\\ALBUM.INI")), QStringLiteral("C:\\ALBUMS\\SEA\\"));
    EXPECT_EQ(CommandLine::FolderOf(QStringLiteral("/HOME/ME/SEA/ALBUM.INI")), QStringLiteral("/HOME/ME/SEA/"));
    EXPECT_EQ(CommandLine::FolderOf(QStringLiteral("/HOME/ME\\SEA/X")), QStringLiteral("/HOME/ME\\SEA/"));
    EXPECT_EQ(CommandLine::FolderOf(QStringLiteral("ALBUM.INI")), QString());
}

} // namespace
} // namespace tarnwick
