#pragma once
// Packs an album for the packed player modes into ALBUM_DIR/packed, the
// program folder of a packed run: one container file holding every file the
// player unpacks on demand, "MainpicFileInfo.ini" (the album information text
// followed by the picture index), copies of the two profiles and pack.txt.
// The player unpacks through that index the full pictures, covers and
// "BackgroundPicture.jpg" (into the program folder's ResultPicture) and the
// thumbnails and music files (into its MainAlbum), and empties both folders
// when it closes; a folder of its own keeps the unpacked album in ALBUM_DIR
// out of reach.
//
// Container layout ("album.pak"):
//   bytes 0..7     the magic "TWKALBUM" (PackedFile::kMagic, which the player reads)
//   bytes 8..11    the picture data offset, 32-bit little endian (DataOffset)
//   bytes 12..15   the number of packed files, 32-bit little endian
//   up to offset   zeros
//   from offset    the full pictures in the album's show order and the
//                  background, then the thumbnails in the same order and
//                  the music files, back to back
// The index gives each file as name=start,length with start counted from
// the data offset, under [PicResultFile] (ResultPicture) and
// [PicThumbnailFile] (MainAlbum), ended by [Splitter]. The player is started on it with
//   TARNWICK_PROGRAM_FOLDER=<packed> tarnwick-player "*S*OFFSET=<offset>*FILE=<packed>/album.pak"

// ours
#include "albumdraft.h"

// Qt
#include <QString>

namespace tarnwick {

struct PackResult {
    qint64 offset = 0;
    QString folder;     // final absolute path of the packed program folder
    QString container;  // final absolute path of album.pak, inside `folder`
    QString command;    // the command line that plays the packed album
};

class AlbumPacker {
public:
    static constexpr qint64 DataOffset = 4096;
    static constexpr const char* FolderName = "packed";
    static constexpr const char* ContainerName = "album.pak";
    static constexpr const char* InfoName = "MainpicFileInfo.ini";
    static constexpr const char* LauncherNoteName = "pack.txt";
    static constexpr const char* BackgroundName = "BackgroundPicture.jpg";

    // Called by the album builder once the pictures and both profiles are
    // written in `buildFolder`. Creates `buildFolder`/packed holding
    // album.pak, MainpicFileInfo.ini, copies of profile.ini and
    // playerprofile.ini, and pack.txt (offset, container, folder and command,
    // as key=value lines for a launcher), and nothing else; `finalFolder` is
    // where the album will live, for the paths in the command. Throws
    // MakerError on a read or write failure.
    static PackResult pack(const AlbumDraft& draft, const QString& buildFolder, const QString& finalFolder);

    // The shell command line that plays `container` with `folder` as the
    // player's program folder; paths are quoted for a POSIX shell.
    static QString playCommand(qint64 offset, const QString& folder, const QString& container);
};

} // namespace tarnwick
