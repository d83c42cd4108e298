// The command-line grammar: any text splits into pieces, and every accessor
// the start-up routine uses answers without failing.

// ours
#include "commandline.h"
#include "fuzzcheck.h"
#include "numbertext.h"

// std
#include <cstdint>
#include <cstdlib>

using tarnwick::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using tarnwick::CommandLine;
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const CommandLine line(text);
    const QStringList& pieces = line.Pieces();
    check(pieces.size() == text.count(QLatin1Char('*')) + 1);
    const std::int32_t mode = line.Mode();
    check(mode >= 0 && mode <= 7);
    check(line.Switch().size() <= 2);
    for (qsizetype i = -pieces.size() - 1; i <= pieces.size(); ++i) {
        const auto piece = line.Piece(i);
        const auto value = line.ValuePart(i);
        check(piece.has_value() == value.has_value());
        if (!piece)
            continue;
        check(piece->endsWith(*value));
        if (i >= 0)
            check(line.WrittenPiece(i).toUpper() == *piece);
        // As the packed album reads its offset and the container's name.
        (void)tarnwick::TextToInt32(*value);
        (void)tarnwick::ToInt32(tarnwick::LeadingNumber(*value));
        (void)CommandLine::FolderOf(line.WrittenPiece(i));
    }
    check(line.WrittenPiece(pieces.size()).isEmpty());
    (void)line.WindowHandle();
    const QString folder = CommandLine::FolderOf(text);
    check(text.startsWith(folder));
    return 0;
}
