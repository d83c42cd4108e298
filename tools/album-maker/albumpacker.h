#pragma once
// Packs an album for the packed player modes: one container file holding
// every full picture and thumbnail of the album (covers included; not the
// background picture, not the music) and "MainpicFileInfo.ini", the album
// information text followed by the picture index.
//
// Container layout ("album.pak"):
//   bytes 0..7     the magic "TWKALBUM"
//   bytes 8..11    the picture data offset, 32-bit little endian (DataOffset)
//   bytes 12..15   the number of packed files, 32-bit little endian
//   up to offset   zeros
//   from offset    the full pictures, then the thumbnails, back to back, in
//                  the album's show order
// The index gives each file as name=start,length with start counted from
// the data offset, under [PicResultFile] and [PicThumbnailFile], ended by
// [Splitter]. The player is started on it with
//   tarnwick-player "*S*OFFSET=<offset>*FILE=<container>"
// from a program folder that holds MainpicFileInfo.ini.

// ours
#include "albumdraft.h"

// Qt
#include <QString>

namespace tarnwick {

struct PackResult {
    qint64 offset = 0;
    QString container;  // final absolute path of album.pak
    QString command;    // the command line that plays the packed album
};

class AlbumPacker {
public:
    static constexpr qint64 DataOffset = 4096;
    static constexpr const char* ContainerName = "album.pak";
    static constexpr const char* InfoName = "MainpicFileInfo.ini";
    static constexpr const char* LauncherNoteName = "pack.txt";

    // Called by the album builder once the pictures are written in
    // `buildFolder` (its ResultPicture and MainAlbum). Writes album.pak,
    // MainpicFileInfo.ini and pack.txt (offset, container and command, as
    // key=value lines for a launcher) into `buildFolder`; `finalFolder` is
    // where the album will live, for the paths in the command. Throws
    // MakerError on a read or write failure.
    static PackResult pack(const AlbumDraft& draft, const QString& buildFolder, const QString& finalFolder);

    // The command line that plays the container.
    static QString playCommand(qint64 offset, const QString& container);
};

} // namespace tarnwick
