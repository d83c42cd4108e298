#pragma once
// Writes the album information text, the INI text that the player's album
// model loads: the [Album] section, one [MusicN] section per music file and
// one [CategoryN] section per category with its covers and photos. This is
// the only writer of that text in the project.

// ours
#include "albumdraft.h"

// Qt
#include <QString>

namespace tarnwick {

class AlbumInfoWriter {
public:
    // The whole text, CR LF line ends. Called by the album builder (album.ini)
    // and the packer (the head of MainpicFileInfo.ini).
    static QString text(const AlbumDraft& draft);

    // `text` made fit for one INI value: line breaks become the two
    // characters "\n", a backslash becomes "\\", other control characters
    // blanks, and the ends are trimmed (a reader trims them anyway).
    static QString value(const QString& text);

    // The line end of every INI text the maker writes.
    static constexpr const char* LineEnd = "\r\n";
};

} // namespace tarnwick
