#pragma once
// Packs an album for the packed player modes: one container file holding
// every file the player unpacks on demand, and "MainpicFileInfo.ini", the
// album information text followed by the picture index. The player unpacks
// through that index the full pictures, covers and "BackgroundPicture.jpg"
// (into ResultPicture) and the thumbnails and music files (into MainAlbum),
// so a program folder needs only the index files and the profiles; it
// empties both folders when it closes.
//
// Container layout ("album.pak"):
//   bytes 0..7     the magic "TWKALBUM"
//   bytes 8..11    the picture data offset, 32-bit little endian (DataOffset)
//   bytes 12..15   the number of packed files, 32-bit little endian
//   up to offset   zeros
//   from offset    the full pictures in the album's show order and the
//                  background, then the thumbnails in the same order and
//                  the music files, back to back
// The index gives each file as name=start,length with start counted from
// the data offset, under [PicResultFile] (ResultPicture) and
// [PicThumbnailFile] (MainAlbum), ended by [Splitter]. The player is started on it with
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
    static constexpr const char* BackgroundName = "BackgroundPicture.jpg";

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
