#include "commandline.h"

// ours
#include "numbertext.h"
#include "session.h"

namespace tarnwick {

CommandLine::CommandLine(const QString& text)
{
    const QString upper = text.toUpper();
    m_pieces = upper.split(QLatin1Char('*'));
    m_written = text.split(QLatin1Char('*'));
    m_switch = upper.trimmed().left(2);
}

std::optional<QString> CommandLine::Piece(qsizetype index) const
{
    if (index < 0)
        index += m_pieces.size();
    if (index < 0 || index >= m_pieces.size())
        return std::nullopt;
    return m_pieces.at(index);
}

QString CommandLine::WrittenPiece(qsizetype index) const
{
    return index >= 0 && index < m_written.size() ? m_written.at(index) : QString();
}

std::int32_t CommandLine::Mode() const
{
    // Compared in this order; the first equal one decides.
    static const std::pair<const char*, std::int32_t> switches[] = {
        {"/1", ModeAlbumFolder}, {"/2", ModeExport},       {"*S", ModePackedAlbum},
        {"/S", ModeSaver},       {"/P", ModeSaverPreview}, {"/A", ModeSaverPassword},
        {"/C", ModeSaverSettings},
    };
    for (const auto& [text, mode] : switches) {
        if (m_switch == QLatin1String(text))
            return mode;
    }
    return ModeNone;
}

std::optional<QString> CommandLine::ValuePart(qsizetype index) const
{
    const auto piece = Piece(index);
    if (!piece)
        return std::nullopt;
    return piece->mid(piece->lastIndexOf(QLatin1Char('=')) + 1);
}

std::optional<std::int32_t> CommandLine::WindowHandle() const
{
    return TextToInt32(m_pieces.at(0).mid(3));
}

QString CommandLine::FolderOf(const QString& path)
{
    const qsizetype cut = std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    return cut < 0 ? QString() : path.left(cut + 1);
}

} // namespace tarnwick
