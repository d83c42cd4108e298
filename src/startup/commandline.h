#pragma once
// The player's command line: one text (the arguments after the program name
// joined by single blanks), upper-cased and cut at every "*" into pieces;
// the switch is its first two characters after trimming.

// Qt
#include <QString>
#include <QStringList>

// std
#include <cstdint>
#include <optional>

namespace tarnwick {

class CommandLine {
public:
    explicit CommandLine(const QString& text);

    // The upper-cased pieces, numbered from 0; empty pieces count.
    const QStringList& Pieces() const { return m_pieces; }
    // Piece `index`, or nothing when the line has no such piece.
    std::optional<QString> Piece(qsizetype index) const;
    // Piece `index` as it was written, before upper-casing; empty when the
    // line has no such piece. The video file of an export is made under
    // this name: a file that does not exist yet has no letter case to be
    // found by.
    QString WrittenPiece(qsizetype index) const;
    // The first two characters of the trimmed, upper-cased line.
    const QString& Switch() const { return m_switch; }
    // The start mode the switch selects: 1 to 7, or 0 for any other switch.
    std::int32_t Mode() const;

    // The text after the last "=" of piece `index` (the whole piece when it
    // has none); nothing when there is no such piece. Negative indices
    // count from the end: -1 is the last piece.
    std::optional<QString> ValuePart(qsizetype index) const;

    // The window handle that "/P" and "/A" carry in piece 0 after the switch
    // and one separator; nothing when it does not convert.
    std::optional<std::int32_t> WindowHandle() const;

    // The folder part of a path: cut after its last "\" or "/" (kept); empty
    // when there is none.
    static QString FolderOf(const QString& path);

private:
    QStringList m_pieces;
    QStringList m_written;
    QString m_switch;
};

} // namespace tarnwick
